// Linux: ${XDG_CONFIG_HOME}/<folder>, with the disk cache in ${XDG_CACHE_HOME}/<folder>/<profile>
// (the browser puts it there when its user-data folder lies in the config folder, as these do);
// the Snap and Flatpak homes keep both inside their own folders.
#include "platform/chromium_layout.h"

#include "platform/path_text.h"

namespace larkspur {

namespace {

struct Browser {
  const char* name;
  const char* folder;   // below the config and cache folders
  const char* flatpak;  // the Flatpak's application id; nullptr for none
};

constexpr Browser kBrowsers[] = {
    {"Chrome", "google-chrome", "com.google.Chrome"},
    {"Chrome", "google-chrome-beta", nullptr},
    {"Chrome", "google-chrome-unstable", nullptr},
    {"Chromium", "chromium", "org.chromium.Chromium"},
    {"Edge", "microsoft-edge", "com.microsoft.Edge"},
    {"Edge", "microsoft-edge-beta", nullptr},
    {"Edge", "microsoft-edge-dev", nullptr},
    {"Brave", "BraveSoftware/Brave-Browser", "com.brave.Browser"},
    {"Vivaldi", "vivaldi", "com.vivaldi.Vivaldi"},
    {"Opera", "opera", "com.opera.Opera"},
};

ChromiumPlace Place(const Browser& browser, std::string user_data, std::string disk_cache) {
  ChromiumPlace place;
  place.browser = browser.name;
  place.edge = place.browser == "Edge";
  place.user_data = std::move(user_data);
  place.disk_cache = std::move(disk_cache);
  place.root_profile = place.browser == "Opera";
  return place;
}

}  // namespace

std::vector<ChromiumPlace> ChromiumPlaces(const std::string& app_data,
                                          const std::string& local_app_data,
                                          const std::string& home) {
  std::vector<ChromiumPlace> places;
  const bool has_cache = IsAbsolutePath(local_app_data);
  if (IsAbsolutePath(app_data))
    for (const Browser& browser : kBrowsers)
      places.push_back(Place(browser, app_data + '/' + browser.folder,
                             has_cache ? local_app_data + '/' + browser.folder : ""));
  if (!IsAbsolutePath(home))
    return places;
  const std::string snap = home + "/snap/chromium/common";
  places.push_back(Place(kBrowsers[3], snap + "/chromium", snap + "/.cache/chromium"));
  for (const Browser& browser : kBrowsers) {
    if (browser.flatpak == nullptr)
      continue;
    const std::string app = home + "/.var/app/" + browser.flatpak;
    places.push_back(
        Place(browser, app + "/config/" + browser.folder, app + "/cache/" + browser.folder));
    places.back().sandboxed = true;
  }
  return places;
}

}  // namespace larkspur
