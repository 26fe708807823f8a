#pragma once
// The Chrome and Edge clean-up items: each finds every profile afresh and deletes one kind of
// data. "Chrome" stands for every Chromium browser but Edge (Chromium, Brave, Vivaldi, Opera).
#include <string>
#include <vector>

#include "chromium/chromium.h"

namespace larkspur {

struct ChromiumInstall;

class ChromiumHistory {
 public:
  explicit ChromiumHistory(ChromiumPorts ports) : ports_(std::move(ports)) {}

  void Delete_ChromeHistory() { EachProfile(false, &Chromium::Delete_History, 0, "history"); }
  void Delete_ChromeCache() { EachProfile(false, &Chromium::Delete_Cache, 0, nullptr); }
  void Delete_ChromeCookies() { EachProfile(false, &Chromium::Delete_Cookies, 1, "cookies"); }
  void Delete_ChromeTabs() { EachProfile(false, &Chromium::Delete_Tabs, 2, "open tabs"); }
  void Delete_EdgeHistory() { EachProfile(true, &Chromium::Delete_History, 0, "history"); }
  void Delete_EdgeCache() { EachProfile(true, &Chromium::Delete_Cache, 0, nullptr); }
  void Delete_EdgeCookies() { EachProfile(true, &Chromium::Delete_Cookies, 1, "cookies"); }
  void Delete_EdgeTabs() { EachProfile(true, &Chromium::Delete_Tabs, 2, "open tabs"); }

  // The browsers but Edge that have a profile here, each name once ("Google Chrome", "Brave").
  std::vector<std::string> BrowsersFound() const;

 private:
  // `kept_while_running`: what the item clears, named for the user (`rank` orders it in the
  // sentence); nullptr when the item works on a running browser too.
  void EachProfile(bool edge, void (Chromium::*item)(), int rank, const char* kept_while_running);

  // Counts the profiles' item as stayed and tells the user what to close.
  void KeepWhileRunning(const ChromiumInstall& install, int rank, const char* what);

  ChromiumPorts ports_;
};

}  // namespace larkspur
