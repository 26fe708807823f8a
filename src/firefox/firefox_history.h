#pragma once
// The Firefox clean-up items: each opens every profile afresh and deletes one kind of data.
#include <string>
#include <vector>

#include "firefox/firefox.h"

namespace larkspur {

class FirefoxHistory {
 public:
  explicit FirefoxHistory(FirefoxPorts ports) : ports_(std::move(ports)) {}

  void Delete_FirefoxHistory() { EachProfile(&Firefox::Delete_History); }
  void Delete_FirefoxDownloads() { EachProfile(&Firefox::Delete_Downloads); }
  void Delete_FirefoxTypedUrls() { EachProfile(&Firefox::Delete_TypedUrls); }
  void Delete_FirefoxCookies() { EachProfile(&Firefox::Delete_Cookies); }
  void Delete_FirefoxCache() { EachProfile(&Firefox::Delete_Cache); }

 private:
  // Runs `item` on every profile found. A profile that is there but refused stays, and the
  // notes say which and why; with none found, the notes say where they were looked for.
  void EachProfile(void (Firefox::*item)());

  FirefoxPorts ports_;
};

}  // namespace larkspur
