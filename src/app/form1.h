#pragma once
// The main window's controls that the clean-up run reads and writes.
#include <string>
#include <vector>

#include "app/controls.h"

namespace larkspur {

struct Form1 {
  // Internet Explorer
  CheckBox chkIEHist{"Clear History"};
  CheckBox chkIETemp{"Clear Cache/Temp Internet Files"};
  CheckBox chkIETyped{"Clear Typed Urls In IE"};
  CheckBox chkIECookies{"Clear Cookies"};
  // Mozilla Firefox
  CheckBox chkFFHist{"Clear Form History"};
  CheckBox chkFFDownloads{"Clear Downloads"};
  CheckBox chkTypedUrls{"Clear Typed URL(s) In Firefox"};
  CheckBox chkCookies{"Clear Cookies"};
  CheckBox chkFFCache{"Clear Cache"};

  Label Label5;                    // the status line
  std::vector<std::string> List2;  // URL-cache entries (hidden)
  std::vector<std::string> List3;  // cookie entries of the URL cache (hidden)
};

}  // namespace larkspur
