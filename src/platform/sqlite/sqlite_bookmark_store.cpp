#include "platform/sqlite/sqlite_bookmark_store.h"

#include <sqlite3.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <system_error>
#include <utility>

#include "platform/path_text.h"

namespace larkspur {

namespace {

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

constexpr char kBookmarksQuery[] =
    "SELECT b.id, b.parent, b.position, b.type, b.guid, b.title, b.dateAdded, b.lastModified, "
    "b.fk, h.url FROM moz_bookmarks b LEFT JOIN moz_places h ON h.id = b.fk";
// A tag is a folder below the tags root; its children are bookmarks of the tagged places.
constexpr char kTagsQuery[] =
    "SELECT r.fk, t.title FROM moz_bookmarks r JOIN moz_bookmarks t ON t.id = r.parent "
    "WHERE r.type = 1 AND t.parent = (SELECT id FROM moz_bookmarks WHERE guid = 'tags________') "
    "ORDER BY t.title";
constexpr char kKeywordsQuery[] = "SELECT place_id, keyword, post_data FROM moz_keywords";

std::string Text(sqlite3_stmt* statement, int column) {
  const auto* text = sqlite3_column_text(statement, column);
  return text == nullptr
             ? std::string()
             : std::string(reinterpret_cast<const char*>(text),
                           static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

class Reader {
 public:
  explicit Reader(sqlite3* db) : db_(db) {}

  // Runs `sql` and hands each row to `row`; false when any step fails.
  template <typename RowFunction>
  bool Each(const char* sql, RowFunction row) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &raw, nullptr) != SQLITE_OK)
      return false;
    const Statement statement(raw);
    int result;
    while ((result = sqlite3_step(raw)) == SQLITE_ROW)
      row(raw);
    return result == SQLITE_DONE;
  }

  bool Execute(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
  }

 private:
  sqlite3* db_;
};

}  // namespace

bool SqliteBookmarkStore::ReadCopy(const std::string& path, std::vector<BookmarkRow>* rows,
                                   std::string* error) {
  namespace fs = std::filesystem;
  std::error_code failed;
  const fs::path folder = fs::temp_directory_path(failed) /
                          ("larkspur-preview-" + std::to_string(std::random_device{}()));
  const fs::path database = PathFromUtf8(path);
  const fs::path log = PathFromUtf8(path + "-wal");
  bool read = false;
  if (!failed && fs::create_directory(folder, failed) &&
      fs::copy_file(database, folder / "places.sqlite", failed) &&
      (!fs::exists(log) || fs::copy_file(log, folder / "places.sqlite-wal", failed))) {
    read = ReadInPlace(Utf8FromPath(folder / "places.sqlite"), rows, error);
  } else {
    *error = "cannot copy the database: " + failed.message();
  }
  fs::remove_all(folder, failed);
  return read;
}

bool SqliteBookmarkStore::Read(const std::string& path, std::vector<BookmarkRow>* rows,
                               std::string* error) {
  if (preview_)
    return ReadCopy(path, rows, error);
  // The log's index that SQLite makes for the read goes with it: the files beside the database
  // are then the ones a preview saw.
  const std::filesystem::path index = PathFromUtf8(path + "-shm");
  std::error_code failed;
  const bool had_index = std::filesystem::exists(index, failed);
  const bool read = ReadInPlace(path, rows, error);
  if (!had_index && !failed)
    std::filesystem::remove(index, failed);
  return read;
}

bool SqliteBookmarkStore::ReadInPlace(const std::string& path, std::vector<BookmarkRow>* rows,
                                      std::string* error) {
  rows->clear();
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
  const Database db(raw);
  const auto fail = [&](const char* what) {
    *error = std::string(what) + ": " + (raw != nullptr ? sqlite3_errmsg(raw) : "out of memory");
    rows->clear();
    return false;
  };
  if (opened != SQLITE_OK)
    return fail("cannot open the database");
  // Closing the last connection must not fold the log into the database: that would write it.
  sqlite3_db_config(raw, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  sqlite3_busy_timeout(raw, 2000);

  Reader reader(raw);
  // One read transaction: the three queries see one state of the database.
  if (!reader.Execute("BEGIN"))
    return fail("cannot read the database");

  std::map<std::int64_t, std::vector<std::string>> tags;
  std::map<std::int64_t, std::pair<std::string, std::string>> keywords;
  std::vector<std::int64_t> places;
  const bool read = reader.Each(kBookmarksQuery, [&](sqlite3_stmt* s) {
    BookmarkRow row;
    row.id = sqlite3_column_int64(s, 0);
    row.parent = sqlite3_column_int64(s, 1);
    row.position = sqlite3_column_int64(s, 2);
    row.type = sqlite3_column_int(s, 3);
    row.guid = Text(s, 4);
    row.title = Text(s, 5);
    row.date_added = sqlite3_column_int64(s, 6);
    row.last_modified = sqlite3_column_int64(s, 7);
    places.push_back(sqlite3_column_int64(s, 8));
    row.url = Text(s, 9);
    rows->push_back(std::move(row));
  }) && reader.Each(kTagsQuery, [&](sqlite3_stmt* s) {
    tags[sqlite3_column_int64(s, 0)].push_back(Text(s, 1));
  }) && reader.Each(kKeywordsQuery, [&](sqlite3_stmt* s) {
    keywords.try_emplace(sqlite3_column_int64(s, 0), Text(s, 1), Text(s, 2));
  });
  if (!read)
    return fail("cannot read the bookmarks");
  reader.Execute("COMMIT");

  for (std::size_t index = 0; index < rows->size(); ++index) {
    BookmarkRow& row = (*rows)[index];
    if (row.type != 1)
      continue;
    if (const auto found = tags.find(places[index]); found != tags.end())
      row.tags = found->second;
    if (const auto found = keywords.find(places[index]); found != keywords.end()) {
      row.keyword = found->second.first;
      row.post_data = found->second.second;
    }
  }
  return true;
}

}  // namespace larkspur
