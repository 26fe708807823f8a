#pragma once
// Where Firefox keeps its folders on this system, and the local date it names backups by.
#include <chrono>

namespace larkspur {

// Below the application-data folder: the folder of profiles.ini.
extern const char kFirefoxBelowAppData[];
// Below the local cache folder ("Local AppData" on Windows): the folder of each profile's
// local cache, named as the profile's own folder.
extern const char kFirefoxCacheBelowLocalAppData[];

// Today in local time.
std::chrono::year_month_day LocalToday();

}  // namespace larkspur
