#include <windows.h>

#include "platform/firefox_layout.h"

namespace larkspur {

const char kFirefoxBelowAppData[] = "\\Mozilla\\Firefox";

std::vector<FirefoxPlace> PackagedFirefoxPlaces(const std::string&) {
  return {};
}

std::chrono::year_month_day LocalToday() {
  SYSTEMTIME local{};
  ::GetLocalTime(&local);
  return std::chrono::year(local.wYear) / local.wMonth / local.wDay;
}

}  // namespace larkspur
