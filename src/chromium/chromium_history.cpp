#include "chromium/chromium_history.h"

#include <algorithm>

#include "chromium/chromium_locator.h"

namespace larkspur {

void ChromiumHistory::KeepWhileRunning(const ChromiumInstall& install, int rank, const char* what) {
  for (const ChromiumProfile& profile : install.profiles)
    ports_.record.Stayed(profile.folder->Path() + " (" + what + ")", StayReason::kBrowserRunning);
  RunNotes& notes = ports_.record.Notes();
  notes.BrowserRunning(install.place.browser, rank, what);
  if (install.place.startup_boost)
    notes.Other("If no " + install.place.browser +
                " window is open, its Startup boost keeps it running: turn that off in " +
                install.place.browser + "'s settings, System.");
}

void ChromiumHistory::EachProfile(bool edge, void (Chromium::*item)(), int rank,
                                  const char* kept_while_running) {
  const std::vector<ChromiumInstall> installs = ChromiumLocator(ports_).OpenProfiles(edge);
  if (installs.empty())
    ports_.record.Notes().NotFound(
        edge ? "No Edge profile found."
             : "No Chrome, Chromium, Brave, Vivaldi or Opera profile found.");
  for (const ChromiumInstall& install : installs) {
    if (kept_while_running != nullptr &&
        ports_.user_data.Running(install.place.user_data, install.place.sandboxed)) {
      KeepWhileRunning(install, rank, kept_while_running);
      continue;
    }
    for (const ChromiumProfile& profile : install.profiles) {
      Chromium chromium(ports_, *profile.folder, profile.disk_cache);
      (chromium.*item)();
    }
  }
}

std::vector<std::string> ChromiumHistory::BrowsersFound() const {
  std::vector<std::string> found;
  for (const ChromiumInstall& install : ChromiumLocator(ports_).OpenProfiles(false)) {
    const std::string& name = install.place.browser;
    const std::string shown = name == "Chrome" ? "Google Chrome" : name;
    if (std::find(found.begin(), found.end(), shown) == found.end())
      found.push_back(shown);
  }
  return found;
}

}  // namespace larkspur
