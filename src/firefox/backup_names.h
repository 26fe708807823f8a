#pragma once
// The names of Firefox's bookmark backups. Firefox restores the backup whose name carries the
// latest date (one of the same date by directory order, which is no order at all) and removes
// backups dated after today, so the one to be restored must be the only one of today's date.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace larkspur {

// "bookmarks-YYYY-MM-DD.json": a plain backup, which Firefox takes as well as its own.
std::string BackupName(std::chrono::year_month_day day);

// The date in a backup's name, as Firefox reads it ("bookmarks-2024-05-01_12_<hash>.jsonlz4");
// nullopt for names Firefox does not take as a backup.
std::optional<std::chrono::year_month_day> BackupDate(const std::string& name);

// The same name carrying the date `days` days earlier.
std::string BackupNameDatedBack(const std::string& name, int days);

// The backups among `names` dated `day`.
std::vector<std::string> BackupsOf(const std::vector<std::string>& names,
                                   std::chrono::year_month_day day);

}  // namespace larkspur
