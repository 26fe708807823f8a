#include "platform/sample_places.h"

#include <sqlite3.h>

namespace larkspur {

namespace {

constexpr char kSamplePlaces[] = R"(
CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR,
                         visit_count INTEGER DEFAULT 0);
CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT NULL,
                            parent INTEGER, position INTEGER, title LONGVARCHAR,
                            dateAdded INTEGER, lastModified INTEGER, guid TEXT);
CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY AUTOINCREMENT, keyword TEXT UNIQUE,
                           place_id INTEGER, post_data TEXT);
INSERT INTO moz_places VALUES (1, 'https://www.example.org/', 'Example', 4),
                              (2, 'https://visited.example/news', 'Visited', 9);
INSERT INTO moz_bookmarks VALUES
  (1, 2, NULL, 0, 0, '', 1765000000000000, 1765000000000000, 'root________'),
  (2, 2, NULL, 1, 0, 'menu', 1765000000000000, 1765000000000000, 'menu________'),
  (3, 2, NULL, 1, 1, 'toolbar', 1765000000000000, 1765000000000000, 'toolbar_____'),
  (4, 2, NULL, 1, 2, 'tags', 1765000000000000, 1765000000000000, 'tags________'),
  (5, 2, NULL, 1, 3, 'unfiled', 1765000000000000, 1765000000000000, 'unfiled_____'),
  (6, 2, NULL, 1, 4, 'mobile', 1765000000000000, 1765000000000000, 'mobile______'),
  (7, 1, 1, 3, 0, 'Example', 1765000000000000, 1765000000000000, 'demobookmark');
)";

}  // namespace

bool WriteSamplePlaces(const std::string& path) {
  sqlite3* db = nullptr;
  const bool made = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                    nullptr) == SQLITE_OK &&
                    sqlite3_exec(db, kSamplePlaces, nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return made;
}

}  // namespace larkspur
