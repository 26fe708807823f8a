#pragma once
// Where Firefox keeps its folders on this system, and the local date it names backups by.
#include <chrono>

namespace larkspur {

// Below the application-data folder: the folder of profiles.ini. Below the local one (the
// cache folder on Linux, "Local AppData" on Windows): the folder of the profiles' disk caches.
extern const char kFirefoxBelowAppData[];

// Today in local time.
std::chrono::year_month_day LocalToday();

}  // namespace larkspur
