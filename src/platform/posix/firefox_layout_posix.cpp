#include <time.h>

#include "platform/firefox_layout.h"

namespace larkspur {

const char kFirefoxBelowAppData[] = "/mozilla/firefox";

std::chrono::year_month_day LocalToday() {
  const time_t now = ::time(nullptr);
  struct tm local {};
  ::localtime_r(&now, &local);
  return std::chrono::year(local.tm_year + 1900) / (local.tm_mon + 1) / local.tm_mday;
}

}  // namespace larkspur
