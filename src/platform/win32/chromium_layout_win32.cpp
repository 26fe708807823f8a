// Windows: every user-data folder below Local AppData, Opera's below AppData; the disk cache is
// in the profile, except Opera's, which stays below Local AppData.
#include "platform/chromium_layout.h"

#include "platform/path_text.h"

namespace larkspur {

namespace {

struct Browser {
  const char* name;
  const char* folder;  // below Local AppData
};

constexpr Browser kBrowsers[] = {
    {"Chrome", "Google\\Chrome\\User Data"}, {"Edge", "Microsoft\\Edge\\User Data"},
    {"Chromium", "Chromium\\User Data"},     {"Brave", "BraveSoftware\\Brave-Browser\\User Data"},
    {"Vivaldi", "Vivaldi\\User Data"},
};

constexpr char kOpera[] = "Opera Software\\Opera Stable";

}  // namespace

std::vector<ChromiumPlace> ChromiumPlaces(const std::string& app_data,
                                          const std::string& local_app_data, const std::string&) {
  std::vector<ChromiumPlace> places;
  const bool has_local = IsAbsolutePath(local_app_data);
  if (has_local) {
    for (const Browser& browser : kBrowsers) {
      ChromiumPlace place;
      place.browser = browser.name;
      place.edge = place.startup_boost = place.browser == "Edge";
      place.user_data = local_app_data + '\\' + browser.folder;
      places.push_back(std::move(place));
    }
  }
  if (IsAbsolutePath(app_data)) {
    ChromiumPlace opera;
    opera.browser = "Opera";
    opera.user_data = app_data + '\\' + kOpera;
    opera.disk_cache = has_local ? local_app_data + '\\' + kOpera : "";
    opera.root_profile = true;
    places.push_back(std::move(opera));
  }
  return places;
}

}  // namespace larkspur
