#include <time.h>

#include "platform/firefox_layout.h"

namespace larkspur {

const char kFirefoxBelowAppData[] = "/mozilla/firefox";

std::vector<FirefoxPlace> PackagedFirefoxPlaces(const std::string& home) {
  if (home.empty() || home.front() != '/')
    return {};
  const std::string snap = home + "/snap/firefox/common";
  const std::string flatpak = home + "/.var/app/org.mozilla.firefox";
  // The Flatpak keeps ~/.mozilla inside its own home; newer installs use its XDG config folder.
  return {
      {snap + "/.mozilla/firefox", snap + "/.cache/mozilla/firefox"},
      {flatpak + "/.mozilla/firefox", flatpak + "/cache/mozilla/firefox"},
      {flatpak + "/config/mozilla/firefox", flatpak + "/cache/mozilla/firefox"},
  };
}

std::chrono::year_month_day LocalToday() {
  const time_t now = ::time(nullptr);
  struct tm local {};
  ::localtime_r(&now, &local);
  return std::chrono::year(local.tm_year + 1900) / (local.tm_mon + 1) / local.tm_mday;
}

}  // namespace larkspur
