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

  void Delete_ChromeHistory() { EachProfile(false, &Chromium::Delete_History, "history"); }
  void Delete_ChromeCache() { EachProfile(false, &Chromium::Delete_Cache, nullptr); }
  void Delete_ChromeCookies() { EachProfile(false, &Chromium::Delete_Cookies, "cookies"); }
  void Delete_ChromeTabs() { EachProfile(false, &Chromium::Delete_Tabs, "open tabs"); }
  void Delete_EdgeHistory() { EachProfile(true, &Chromium::Delete_History, "history"); }
  void Delete_EdgeCache() { EachProfile(true, &Chromium::Delete_Cache, nullptr); }
  void Delete_EdgeCookies() { EachProfile(true, &Chromium::Delete_Cookies, "cookies"); }
  void Delete_EdgeTabs() { EachProfile(true, &Chromium::Delete_Tabs, "open tabs"); }

  // The browsers but Edge that have a profile here, each name once ("Google Chrome", "Brave").
  std::vector<std::string> BrowsersFound() const;

  // What stayed because a browser ran since the last TakeStayed(), one sentence a browser
  // with what the user can do; empty when nothing did.
  std::string TakeStayed();

 private:
  // `kept_while_running`: what the item clears, named for the user; nullptr when the item
  // works on a running browser too.
  void EachProfile(bool edge, void (Chromium::*item)(), const char* kept_while_running);

  struct RunningBrowser {
    std::string browser;
    bool startup_boost = false;
    std::vector<std::string> kept;  // what it kept, in the order of the items
  };
  // Counts the profiles' item as stayed and tells the user, once per browser and item.
  void KeepWhileRunning(const ChromiumInstall& install, const char* what);

  ChromiumPorts ports_;
  std::vector<RunningBrowser> running_;
};

}  // namespace larkspur
