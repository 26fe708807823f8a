#include "chromium/chromium_history.h"

#include <algorithm>

#include "chromium/chromium_locator.h"

namespace larkspur {

namespace {

// "its history", "its history and cookies", "its history, cookies and open tabs".
std::string Listed(const std::vector<std::string>& kept) {
  std::string text = "its";
  for (std::size_t index = 0; index < kept.size(); ++index) {
    const bool last = index + 1 == kept.size();
    text += (index == 0 ? " " : last ? " and " : ", ") + kept[index];
  }
  return text;
}

std::string RunningSentence(const std::string& browser, const std::vector<std::string>& kept) {
  return browser + " is running: close it to clear " + Listed(kept) + ".";
}

}  // namespace

void ChromiumHistory::KeepWhileRunning(const ChromiumInstall& install, const char* what) {
  ports_.record.Stayed(StayReason::kBrowserRunning, install.profiles.size());
  auto found = std::find_if(running_.begin(), running_.end(), [&](const RunningBrowser& running) {
    return running.browser == install.place.browser;
  });
  if (found == running_.end())
    found = running_.insert(running_.end(), {install.place.browser, false, {}});
  found->startup_boost = found->startup_boost || install.place.startup_boost;
  if (std::find(found->kept.begin(), found->kept.end(), what) != found->kept.end())
    return;
  found->kept.push_back(what);
  ports_.status.SetCaption(RunningSentence(found->browser, {what}));
}

void ChromiumHistory::EachProfile(bool edge, void (Chromium::*item)(),
                                  const char* kept_while_running) {
  for (const ChromiumInstall& install : ChromiumLocator(ports_).OpenProfiles(edge)) {
    if (kept_while_running != nullptr &&
        ports_.user_data.Running(install.place.user_data, install.place.sandboxed)) {
      KeepWhileRunning(install, kept_while_running);
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

std::string ChromiumHistory::TakeStayed() {
  std::string text;
  for (const RunningBrowser& running : running_) {
    if (!text.empty())
      text += ' ';
    text += RunningSentence(running.browser, running.kept);
    if (running.startup_boost)
      text.append(" If no ")
          .append(running.browser)
          .append(" window is open, its Startup boost keeps it running: turn that off in ")
          .append(running.browser)
          .append("'s settings, System.");
  }
  running_.clear();
  return text;
}

}  // namespace larkspur
