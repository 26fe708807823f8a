#include "platform/sqlite/sqlite_bookmark_store.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/path_text.h"
#include "support/native_ports.h"
#include "support/places_db.h"
#include "support/temp_dir.h"
#include "support/tree_snapshot.h"

#ifdef _WIN32
#include "win32/unix_links.h"
#else
#include <sys/stat.h>
#endif

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::TreeSnapshot;

class SqliteBookmarkStoreTest : public ::testing::Test {
 protected:
  SqliteBookmarkStoreTest() { testing::WriteFile(profile_ / "prefs.js", ""); }

  // The rows, or none with the reason in `error_`.
  std::vector<BookmarkRow> Read() {
    const std::unique_ptr<ProfileFolder> folder =
        testing::NativeProfileFolders(dir_.str())->Open("", Utf8FromPath(profile_), false);
    std::vector<BookmarkRow> rows;
    error_.clear();
    EXPECT_NE(folder, nullptr);
    if (folder != nullptr && !store_.Read(*folder, "places.sqlite", &rows, &error_)) {
      EXPECT_NE(error_, "");
    }
    return rows;
  }

  const BookmarkRow* Find(const std::vector<BookmarkRow>& rows, std::int64_t id) {
    for (const BookmarkRow& row : rows)
      if (row.id == id)
        return &row;
    return nullptr;
  }

  bool MakeLink(const fs::path& target, const fs::path& link) {
#ifdef _WIN32
    links_.push_back(link);
    return testing::MakeLink(target, link);
#else
    std::error_code failed;
    fs::create_symlink(target, link, failed);
    return !failed;
#endif
  }

  ~SqliteBookmarkStoreTest() override {
#ifdef _WIN32
    for (const fs::path& link : links_)
      testing::RemoveLink(link);
#endif
  }

  testing::TempDir dir_;
  fs::path profile_ = dir_ / "profile";
  fs::path places_ = profile_ / "places.sqlite";
  fs::path wal_ = profile_ / "places.sqlite-wal";
  SqliteBookmarkStore store_;
  std::string error_;
  std::vector<fs::path> links_;
};

constexpr char kTaggedBookmark[] =
    "INSERT INTO moz_places VALUES (7, 'https://a.example/', 'A'),"
    "  (8, 'https://never-bookmarked.example/', 'history only');"
    "INSERT INTO moz_bookmarks VALUES (20, 1, 7, 3, 0, 'Title', 5, 6, 'g20'),"
    "  (21, 2, NULL, 4, 0, 'zeta', 5, 6, 't21'), (22, 1, 7, 21, 0, NULL, 5, 6, 't22'),"
    "  (23, 2, NULL, 4, 1, 'alpha', 5, 6, 't23'), (24, 1, 7, 23, 0, NULL, 5, 6, 't24');"
    "INSERT INTO moz_keywords (keyword, place_id, post_data) VALUES ('k', 7, 'p=%s')";

TEST_F(SqliteBookmarkStoreTest, ReadsWhatIsStillInTheLogAndLeavesEveryFileAsItWas) {
  testing::WritePlaces(Utf8FromPath(places_), kTaggedBookmark, /*keep_wal=*/true);
  ASSERT_GT(fs::file_size(wal_), 0u) << "the rows must lie in the log only";
  fs::remove(profile_ / "places.sqlite-shm");
  const auto before = TreeSnapshot(dir_.path());

  std::vector<BookmarkRow> rows = Read();
  ASSERT_EQ(rows.size(), 11u) << error_;
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
  // No "-shm" made, nothing folded into the database, the log as it was.
  EXPECT_EQ(TreeSnapshot(dir_.path()), before);

  // A database in WAL mode without its log: SQLite would make one and its index to read it.
  fs::remove(wal_);
  const auto without_log = TreeSnapshot(dir_.path());
  rows = Read();
  EXPECT_EQ(rows.size(), 6u) << error_;
  EXPECT_EQ(TreeSnapshot(dir_.path()), without_log);
}

TEST_F(SqliteBookmarkStoreTest, WhatIsNoPlacesDatabaseIsRefusedAndStays) {
  EXPECT_TRUE(Read().empty());
  EXPECT_FALSE(fs::exists(places_)) << "nothing is created";

  testing::WriteFile(places_, "SQLite format 3 but not really");
  EXPECT_TRUE(Read().empty());
  fs::remove(places_);
  testing::WritePlaces(Utf8FromPath(places_), "DROP TABLE moz_keywords");
  EXPECT_TRUE(Read().empty());
  fs::remove(places_);

  // SQLite deletes a log beside an empty database; here the log stays, and so does the database.
  testing::WriteFile(places_, "");
  testing::WriteFile(wal_, "a log");
  const auto before = TreeSnapshot(dir_.path());
  EXPECT_TRUE(Read().empty());
  EXPECT_EQ(TreeSnapshot(dir_.path()), before);
}

TEST_F(SqliteBookmarkStoreTest, ADatabaseOrLogReachedThroughALinkIsNotRead) {
  const fs::path elsewhere = dir_ / "elsewhere";
  fs::create_directories(elsewhere);
  testing::WritePlaces(Utf8FromPath(elsewhere / "places.sqlite"), kTaggedBookmark,
                       /*keep_wal=*/true);
  if (!MakeLink(elsewhere / "places.sqlite", places_))
    GTEST_SKIP() << "no links here";
  const auto before = TreeSnapshot(dir_.path());
  EXPECT_TRUE(Read().empty());
  EXPECT_EQ(TreeSnapshot(dir_.path()), before);

  // A database of its own, but a log that lies elsewhere.
#ifdef _WIN32
  testing::RemoveLink(places_);
#else
  fs::remove(places_);
#endif
  fs::copy_file(elsewhere / "places.sqlite", places_);
  ASSERT_TRUE(MakeLink(elsewhere / "places.sqlite-wal", wal_));
  const auto linked_log = TreeSnapshot(dir_.path());
  EXPECT_TRUE(Read().empty());
  EXPECT_EQ(TreeSnapshot(dir_.path()), linked_log);
}

#ifndef _WIN32
TEST_F(SqliteBookmarkStoreTest, AFifoIsRefusedWithoutWaiting) {
  ASSERT_EQ(::mkfifo(places_.c_str(), 0600), 0);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(Read().empty());
  fs::remove(places_);
  testing::WritePlaces(Utf8FromPath(places_), "");
  ASSERT_EQ(::mkfifo(wal_.c_str(), 0600), 0);
  EXPECT_TRUE(Read().empty());
  // Not a timing test: a FIFO opened to be read would never come back at all.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}
#endif

TEST_F(SqliteBookmarkStoreTest, ADatabaseMadeToSpinOrRepeatIsRefused) {
  // A view that never ends in place of a table.
  testing::WriteDatabase(
      Utf8FromPath(places_),
      "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER,"
      " parent INTEGER, position INTEGER, title TEXT, dateAdded INTEGER, lastModified INTEGER,"
      " guid TEXT);"
      "CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY, keyword TEXT, place_id INTEGER,"
      " post_data TEXT);"
      "CREATE VIEW moz_places AS WITH RECURSIVE n(id, url) AS (SELECT 1, 'x' UNION ALL"
      " SELECT id + 1, url FROM n) SELECT id, url FROM n;"
      "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 1, 2, 'root________')");
  EXPECT_TRUE(Read().empty());
  EXPECT_EQ(error_, "cannot read the bookmarks: moz_places is not a plain table");
  fs::remove(places_);

  // A column computed on every read.
  testing::WritePlaces(Utf8FromPath(places_), "");
  testing::WriteDatabase(Utf8FromPath(places_),
                         "ALTER TABLE moz_keywords ADD COLUMN grown TEXT AS "
                         "(printf('%.*c', 100000000, 'x'))");
  EXPECT_TRUE(Read().empty());
  EXPECT_EQ(error_, "cannot read the bookmarks: moz_keywords is not a plain table");
  fs::remove(places_);

  // One id twice, as a table whose pages repeat lists it.
  testing::WriteDatabase(
      Utf8FromPath(places_),
      "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT);"
      "CREATE TABLE moz_bookmarks (id INTEGER, type INTEGER, fk INTEGER, parent INTEGER,"
      " position INTEGER, title TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT);"
      "CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY, keyword TEXT, place_id INTEGER,"
      " post_data TEXT);"
      "INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 1, 2, 'root________'),"
      " (1, 2, NULL, 0, 0, '', 1, 2, 'root________')");
  EXPECT_TRUE(Read().empty());
  EXPECT_EQ(error_, "cannot read the bookmarks: bookmark 1 is listed twice");
}

TEST_F(SqliteBookmarkStoreTest, TenThousandBookmarks) {
  testing::WritePlaces(Utf8FromPath(places_), testing::ManyBookmarks(10000));
  const std::vector<BookmarkRow> rows = Read();
  ASSERT_EQ(rows.size(), 10006u) << error_;
  EXPECT_EQ(Find(rows, 10099)->url, "https://site10099.example/");
}

}  // namespace
}  // namespace larkspur
