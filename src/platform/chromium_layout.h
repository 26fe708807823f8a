#pragma once
// Where this system's Chromium browsers keep their user-data folders and disk caches.
#include <string>
#include <vector>

namespace larkspur {

struct ChromiumPlace {
  std::string browser;    // its name for the user: "Chrome", "Chromium", "Edge", ...
  bool edge = false;      // the Microsoft Edge items clean it, not the Google Chrome ones
  std::string user_data;  // the user-data folder
  // The folder that holds each profile's disk cache, one subfolder a profile (Linux); empty
  // where the disk cache stays in the profile.
  std::string disk_cache;
  bool sandboxed = false;      // a Flatpak: see UserDataFolders::Running
  bool root_profile = false;   // Opera: the user-data folder may itself be the profile
  bool startup_boost = false;  // Edge on Windows, which may run without a window
};

// `app_data` and `local_app_data` are the shell folders "AppData" and "Local AppData" (on Linux
// the XDG config and cache folders); `home` the user's home folder. A base that is empty or
// relative contributes nothing.
std::vector<ChromiumPlace> ChromiumPlaces(const std::string& app_data,
                                          const std::string& local_app_data,
                                          const std::string& home);

}  // namespace larkspur
