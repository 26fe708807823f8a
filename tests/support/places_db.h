#pragma once
// Firefox places databases made by the tests, through SQLite.
#include <string>

namespace larkspur::testing {

// The tables the bookmark reader uses, with the six roots (ids 1 to 6: root, menu, toolbar,
// tags, unfiled, mobile), then `sql`. With `keep_wal`, the database is in WAL mode and what
// `sql` wrote stays in the -wal file.
void WritePlaces(const std::string& path, const std::string& sql, bool keep_wal = false);

// A database of any other making: `sql` run on a new database at `path`.
void WriteDatabase(const std::string& path, const std::string& sql);

// SQL for `count` bookmarks in the menu, with ids and places from 100 on.
std::string ManyBookmarks(int count);

}  // namespace larkspur::testing
