#include "firefox/backup_names.h"

#include <cstdio>
#include <regex>

namespace larkspur {

namespace {

namespace chrono = std::chrono;

// Firefox's own pattern: date, then an optional count and an optional hash.
const std::regex& BackupPattern() {
  static const std::regex pattern(
      R"(^bookmarks-([0-9-]+)((?:_[0-9]+)?(?:_[a-z0-9=_+-]{24,})?\.json(?:lz4)?)$)",
      std::regex::icase);
  return pattern;
}

std::string DateText(chrono::year_month_day day) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()));
  return text;
}

}  // namespace

std::string BackupName(chrono::year_month_day day) {
  return "bookmarks-" + DateText(day) + ".json";
}

std::optional<chrono::year_month_day> BackupDate(const std::string& name) {
  std::smatch match;
  if (!std::regex_match(name, match, BackupPattern()))
    return std::nullopt;
  int year = 0;
  unsigned month = 0;
  unsigned day = 0;
  char end = 0;
  if (std::sscanf(match[1].str().c_str(), "%d-%u-%u%c", &year, &month, &day, &end) != 3)
    return std::nullopt;
  const chrono::year_month_day date{chrono::year(year), chrono::month(month), chrono::day(day)};
  if (!date.ok())
    return std::nullopt;
  return date;
}

std::string BackupNameDatedBack(const std::string& name, int days) {
  std::smatch match;
  const std::optional<chrono::year_month_day> date = BackupDate(name);
  if (!date || !std::regex_match(name, match, BackupPattern()))
    return name;
  const chrono::year_month_day earlier{chrono::sys_days(*date) - chrono::days(days)};
  return "bookmarks-" + DateText(earlier) + match[2].str();
}

std::vector<std::string> BackupsOf(const std::vector<std::string>& names,
                                   chrono::year_month_day day) {
  std::vector<std::string> found;
  for (const std::string& name : names)
    if (BackupDate(name) == day)
      found.push_back(name);
  return found;
}

}  // namespace larkspur
