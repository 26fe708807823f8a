#include "platform/sqlite/sqlite_bookmark_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/path_text.h"
#include "support/places_db.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;

class SqliteBookmarkStoreTest : public ::testing::Test {
 protected:
  std::vector<BookmarkRow> Read(bool expect_success = true) {
    std::vector<BookmarkRow> rows;
    std::string error;
    EXPECT_EQ(store_.Read(Utf8FromPath(places_), &rows, &error), expect_success) << error;
    EXPECT_EQ(error.empty(), expect_success);
    return rows;
  }

  const BookmarkRow* Find(const std::vector<BookmarkRow>& rows, std::int64_t id) {
    for (const BookmarkRow& row : rows)
      if (row.id == id)
        return &row;
    return nullptr;
  }

  testing::TempDir dir_;
  fs::path places_ = dir_.path() / PathFromUtf8(
                                       "pl\xc3\xa4"
                                       "ces.sqlite");
  SqliteBookmarkStore store_;
};

TEST_F(SqliteBookmarkStoreTest, ReadsWhatIsStillInTheWriteAheadLogAndWritesNothing) {
  testing::WritePlaces(
      Utf8FromPath(places_),
      "INSERT INTO moz_places VALUES (7, 'https://a.example/', 'A'),"
      "  (8, 'https://never-bookmarked.example/', 'history only');"
      "INSERT INTO moz_bookmarks VALUES (20, 1, 7, 3, 0, 'Title', 5, 6, 'g20'),"
      "  (21, 2, NULL, 4, 0, 'zeta', 5, 6, 't21'), (22, 1, 7, 21, 0, NULL, 5, 6, 't22'),"
      "  (23, 2, NULL, 4, 1, 'alpha', 5, 6, 't23'), (24, 1, 7, 23, 0, NULL, 5, 6, 't24');"
      "INSERT INTO moz_keywords (keyword, place_id, post_data) VALUES ('k', 7, 'p=%s')",
      /*keep_wal=*/true);
  fs::path wal = places_;
  wal += "-wal";
  ASSERT_GT(fs::file_size(wal), 0u) << "the rows must lie in the log only";
  const auto database_size = fs::file_size(places_);
  const auto wal_size = fs::file_size(wal);
  const auto database_time = fs::last_write_time(places_);

  const std::vector<BookmarkRow> rows = Read();
  ASSERT_EQ(rows.size(), 11u);
  const BookmarkRow* bookmark = Find(rows, 20);
  ASSERT_NE(bookmark, nullptr);
  EXPECT_EQ(bookmark->title, "Title");
  EXPECT_EQ(bookmark->url, "https://a.example/");
  EXPECT_EQ(bookmark->parent, 3);
  EXPECT_EQ(bookmark->date_added, 5);
  EXPECT_EQ(bookmark->last_modified, 6);
  EXPECT_EQ(bookmark->tags, (std::vector<std::string>{"alpha", "zeta"}));
  EXPECT_EQ(bookmark->keyword, "k");
  EXPECT_EQ(bookmark->post_data, "p=%s");

  // Nothing folded into the database, nothing truncated.
  EXPECT_EQ(fs::file_size(places_), database_size);
  EXPECT_EQ(fs::file_size(wal), wal_size);
  EXPECT_EQ(fs::last_write_time(places_), database_time);
}

TEST_F(SqliteBookmarkStoreTest, WhatIsNoPlacesDatabaseFails) {
  EXPECT_TRUE(Read(false).empty());
  EXPECT_FALSE(fs::exists(places_)) << "a read-only open creates nothing";

  testing::WriteFile(places_, "SQLite format 3 but not really");
  Read(false);
  fs::remove(places_);

  // A SQLite database of something else.
  testing::WritePlaces(Utf8FromPath(places_), "DROP TABLE moz_keywords");
  Read(false);
}

TEST_F(SqliteBookmarkStoreTest, TenThousandBookmarks) {
  testing::WritePlaces(Utf8FromPath(places_), testing::ManyBookmarks(10000));
  const std::vector<BookmarkRow> rows = Read();
  ASSERT_EQ(rows.size(), 10006u);
  EXPECT_EQ(Find(rows, 10099)->url, "https://site10099.example/");
}

}  // namespace
}  // namespace larkspur
