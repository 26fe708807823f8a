#pragma once
// The main window's controls as plain state. A window face mirrors them into real widgets; the
// clean-up run, the scheduler and start-up read and write them here.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/controls.h"

namespace larkspur {

inline constexpr char kAutoDeleteOff[] = "Turn On Auto Delete";  // the toggle offers to turn on
inline constexpr char kAutoDeleteOn[] = "Turn Off Auto Delete";

struct Form1 {
  std::string Caption = "Form1";  // the title

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
  // Google Chrome (every Chromium browser but Edge)
  CheckBox chkChromeHist{"Clear History"};
  CheckBox chkChromeCache{"Clear Cache"};
  CheckBox chkChromeCookies{"Clear Cookies"};
  CheckBox chkChromeTabs{"Clear Open Tabs"};
  std::string Frame4ToolTipText;  // the Chromium browsers found
  // Microsoft Edge
  CheckBox chkEdgeHist{"Clear History"};
  CheckBox chkEdgeCache{"Clear Cache"};
  CheckBox chkEdgeCookies{"Clear Cookies"};
  CheckBox chkEdgeTabs{"Clear Open Tabs"};

  // The picture buttons: tick boxes drawn as push buttons, unticked again by their handlers.
  CheckBox Check11{"View Save Log"};
  CheckBox Check12{"Delete Now"};
  CheckBox Check13{kAutoDeleteOff};

  // The browser groups, by their frame's caption, whose browser has no data on this computer:
  // shown disabled, with this sentence (not found, where it was looked for) as their tooltip.
  // Their ticks stay, for when the browser appears; a run leaves them out.
  std::map<std::string, std::string, std::less<>> AbsentBrowsers;

  ListBox List1;  // the intervals
  Timer Timer1;
  ProgressBar ProgressBar1;
  Label Label5;  // the status line
  Pointer MousePointer = Pointer::kDefault;

  std::vector<std::string> List2;  // URL-cache entries (hidden)
  std::vector<std::string> List3;  // cookie entries of the URL cache (hidden)
};

}  // namespace larkspur
