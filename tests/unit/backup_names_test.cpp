#include "firefox/backup_names.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace larkspur {
namespace {

using std::chrono::year;

TEST(BackupNames, OursIsAPlainBackupOfTheDay) {
  EXPECT_EQ(BackupName(year(2026) / 12 / 7), "bookmarks-2026-12-07.json");
  EXPECT_EQ(BackupName(year(987) / 1 / 31), "bookmarks-0987-01-31.json");
}

TEST(BackupNames, DatesAsFirefoxReadsThem) {
  EXPECT_EQ(BackupDate("bookmarks-2026-12-07_12_abcdefghijklmnopqrstuvwx==.jsonlz4"),
            year(2026) / 12 / 7);
  EXPECT_EQ(BackupDate("bookmarks-2026-12-07.json"), year(2026) / 12 / 7);
  EXPECT_EQ(BackupDate("Bookmarks-2026-1-2_3.JSON"), year(2026) / 1 / 2);
  for (const char* not_a_backup :
       {"bookmarks-2026-12-07.json.tmp", "bookmarks-2026-12-07.html", "bookmarks-2026-13-07.json",
        "bookmarks-2026-12-07_short-hash.json", "bookmarks-.json", "bookmarks-2026-12.json",
        "old-bookmarks-2026-12-07.json"})
    EXPECT_FALSE(BackupDate(not_a_backup).has_value()) << not_a_backup;
}

TEST(BackupNames, DatedBackKeepsCountAndHash) {
  EXPECT_EQ(BackupNameDatedBack("bookmarks-2026-03-01_7_abcdefghijklmnopqrstuvwx==.jsonlz4", 1),
            "bookmarks-2026-02-28_7_abcdefghijklmnopqrstuvwx==.jsonlz4");
  EXPECT_EQ(BackupNameDatedBack("bookmarks-2024-01-01.json", 2), "bookmarks-2023-12-30.json");
  EXPECT_EQ(BackupNameDatedBack("bookmarks-2024-03-01.json", 1), "bookmarks-2024-02-29.json");
}

TEST(BackupNames, TheBackupsOfOneDay) {
  EXPECT_THAT(BackupsOf({"bookmarks-2026-12-07.json", "bookmarks-2026-12-06.json",
                         "bookmarks-2026-12-07_3_abcdefghijklmnopqrstuvwx==.jsonlz4",
                         "bookmarks-2026-12-07.json.tmp", "notes.txt"},
                        year(2026) / 12 / 7),
              ::testing::ElementsAre("bookmarks-2026-12-07.json",
                                     "bookmarks-2026-12-07_3_abcdefghijklmnopqrstuvwx==.jsonlz4"));
}

}  // namespace
}  // namespace larkspur
