#pragma once
// Where Firefox keeps its folders on this system, and the local date it names backups by.
#include <chrono>
#include <string>
#include <vector>

namespace larkspur {

// Below the application-data folder: the folder of profiles.ini. Below the local one (the
// cache folder on Linux, "Local AppData" on Windows): the folder of the profiles' disk caches.
extern const char kFirefoxBelowAppData[];

// One install's folder of profiles.ini, and the folder below which each profile listed relative
// to it keeps its disk cache, under the same relative path (empty: no such folder).
struct FirefoxPlace {
  std::string folder;
  std::string cache_folder;
};

// Where Firefox packaged as a Snap or a Flatpak keeps them below the home folder `home`; none
// on Windows, or without an absolute home.
std::vector<FirefoxPlace> PackagedFirefoxPlaces(const std::string& home);

// Today in local time.
std::chrono::year_month_day LocalToday();

}  // namespace larkspur
