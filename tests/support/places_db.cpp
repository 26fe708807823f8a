#include "support/places_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace larkspur::testing {

namespace {

constexpr char kSchema[] = R"(
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER, parent INTEGER,
                            position INTEGER, title LONGVARCHAR, dateAdded INTEGER,
                            lastModified INTEGER, guid TEXT);
CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);
CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE,
                           place_id INTEGER, post_data TEXT);
INSERT INTO moz_bookmarks VALUES (1, 2, NULL, 0, 0, '', 1, 2, 'root________'),
  (2, 2, NULL, 1, 0, 'menu', 1, 2, 'menu________'),
  (3, 2, NULL, 1, 1, 'toolbar', 1, 2, 'toolbar_____'),
  (4, 2, NULL, 1, 2, 'tags', 1, 2, 'tags________'),
  (5, 2, NULL, 1, 3, 'unfiled', 1, 2, 'unfiled_____'),
  (6, 2, NULL, 1, 4, 'mobile', 1, 2, 'mobile______');
)";

void Execute(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << error;
}

}  // namespace

void WritePlaces(const std::string& path, const std::string& sql, bool keep_wal) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  Execute(db, kSchema);
  if (keep_wal) {
    Execute(db, "PRAGMA journal_mode=WAL");
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  }
  Execute(db, "BEGIN;" + sql + ";COMMIT");
  sqlite3_close(db);
}

void WriteDatabase(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  Execute(db, sql);
  sqlite3_close(db);
}

std::string ManyBookmarks(int count) {
  std::string sql;
  for (int n = 0; n < count; ++n) {
    const std::string id = std::to_string(100 + n);
    sql += "INSERT INTO moz_places VALUES (" + id + ", 'https://site" + id + ".example/', '');";
    sql += "INSERT INTO moz_bookmarks VALUES (" + id + ", 1, " + id + ", 2, " + std::to_string(n) +
           ", 'Bookmark " + id + "', 10, 20, 'bookmark" + id + "');";
  }
  return sql;
}

}  // namespace larkspur::testing
