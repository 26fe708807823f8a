#pragma once
#include "firefox/firefox.h"

namespace larkspur {

// The Firefox clean-up items: each locates the profile afresh and deletes one kind of data.
class FirefoxHistory {
 public:
  explicit FirefoxHistory(FirefoxPorts ports) : ports_(std::move(ports)) {}

  void Delete_FirefoxHistory() { Firefox(ports_).Delete_History(); }
  void Delete_FirefoxDownloads() { Firefox(ports_).Delete_Downloads(); }
  void Delete_FirefoxTypedUrls() { Firefox(ports_).Delete_TypedUrls(); }
  void Delete_FirefoxCookies() { Firefox(ports_).Delete_Cookies(); }
  void Delete_FirefoxCache() { Firefox(ports_).Delete_Cache(); }

 private:
  FirefoxPorts ports_;
};

}  // namespace larkspur
