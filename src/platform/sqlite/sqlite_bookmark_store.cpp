#include "platform/sqlite/sqlite_bookmark_store.h"

#include <sqlite3.h>

#include <map>
#include <memory>
#include <unordered_set>
#include <utility>

#include "platform/sqlite/folder_vfs.h"

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

// No text in a real places database comes near this (Firefox keeps URLs below 64 KB).
constexpr int kLongestValue = 4 << 20;
// The work a read may take: the progress handler counts steps of this many instructions, a
// floor for any database and more for each byte read. A real database needs a fraction of it;
// one made to loop or to repeat its pages meets the bound within about a second.
constexpr int kInstructionsPerStep = 1000;
constexpr std::uint64_t kStepsForAnyDatabase = 2000;
constexpr std::uint64_t kBytesPerStep = 16;
constexpr std::uint64_t kTextForAnyDatabase = 8 << 20;
constexpr std::uint64_t kTextPerByte = 8;

// Setting up the connection before the first read: the log's index in the heap (which needs the
// exclusive mode), temporary data in memory, and nothing a schema asks for that a plain read
// would not do.
constexpr char kSetUp[] =
    "PRAGMA locking_mode=EXCLUSIVE; PRAGMA temp_store=MEMORY; PRAGMA query_only=1";
// Views, virtual tables and computed columns run code of the database's own making.
constexpr char kNotPlainTables[] =
    "SELECT name FROM pragma_table_list WHERE schema = 'main' AND "
    "name IN ('moz_bookmarks', 'moz_places', 'moz_keywords') AND type <> 'table' "
    "UNION ALL SELECT 'moz_bookmarks' FROM pragma_table_xinfo('moz_bookmarks') WHERE hidden = 2 "
    "UNION ALL SELECT 'moz_places' FROM pragma_table_xinfo('moz_places') WHERE hidden = 2 "
    "UNION ALL SELECT 'moz_keywords' FROM pragma_table_xinfo('moz_keywords') WHERE hidden = 2";
constexpr char kBookmarksQuery[] =
    "SELECT b.id, b.parent, b.position, b.type, b.guid, b.title, b.dateAdded, b.lastModified, "
    "b.fk, h.url FROM moz_bookmarks b LEFT JOIN moz_places h ON h.id = b.fk";
// A tag is a folder below the tags root; its children are bookmarks of the tagged places.
constexpr char kTagsQuery[] =
    "SELECT r.fk, t.title FROM moz_bookmarks r JOIN moz_bookmarks t ON t.id = r.parent "
    "WHERE r.type = 1 AND t.parent = (SELECT id FROM moz_bookmarks WHERE guid = 'tags________') "
    "ORDER BY t.title";
constexpr char kKeywordsQuery[] = "SELECT place_id, keyword, post_data FROM moz_keywords";

// Stops SQLite once a read has taken more work, or collected more text, than the database's
// size allows: a real database holds each text once or a few times, one made to repeat its pages
// would list them without end.
struct Budget {
  const FolderVfs* vfs;
  std::uint64_t steps = 0;
  std::uint64_t text_bytes = 0;
  bool spent = false;

  static int Step(void* self) {
    auto* budget = static_cast<Budget*>(self);
    budget->spent =
        budget->spent ||
        ++budget->steps > kStepsForAnyDatabase + budget->vfs->BytesOpened() / kBytesPerStep;
    return budget->spent ? 1 : 0;
  }

  std::string Text(sqlite3_stmt* statement, int column) {
    const auto* text = sqlite3_column_text(statement, column);
    const auto size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
    text_bytes += size;
    spent = spent || text_bytes > kTextForAnyDatabase + kTextPerByte * vfs->BytesOpened();
    return text == nullptr || spent ? std::string()
                                    : std::string(reinterpret_cast<const char*>(text), size);
  }
};

class Reader {
 public:
  explicit Reader(sqlite3* db) : db_(db) {}

  // Runs `sql` and hands each row to `row`, which may stop the query by answering false; false
  // when any step fails or `row` stopped it.
  template <typename RowFunction>
  bool Each(const char* sql, RowFunction row) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db_, sql, -1, &raw, nullptr) != SQLITE_OK)
      return false;
    const Statement statement(raw);
    int result;
    while ((result = sqlite3_step(raw)) == SQLITE_ROW)
      if (!row(raw))
        return false;
    return result == SQLITE_DONE;
  }

  bool Execute(const char* sql) {
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
  }

 private:
  sqlite3* db_;
};

}  // namespace

bool SqliteBookmarkStore::Read(ProfileFolder& folder, const std::string& name,
                               std::vector<BookmarkRow>* rows, std::string* error) {
  rows->clear();
  FolderVfs vfs(folder, name);
  if (vfs.Name() == nullptr) {
    *error = "SQLite cannot be set up";
    return false;
  }
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(name.c_str(), &raw, SQLITE_OPEN_READONLY, vfs.Name());
  const Database db(raw);
  Budget budget{&vfs};
  std::string refusal;
  const auto fail = [&](const char* what) {
    *error = std::string(what) + ": " +
             (budget.spent       ? std::string("it takes too long to read")
              : !refusal.empty() ? refusal
              : raw != nullptr   ? std::string(sqlite3_errmsg(raw))
                                 : std::string("out of memory"));
    rows->clear();
    return false;
  };
  if (opened != SQLITE_OK)
    return fail("cannot open the database");
  // Closing must not fold the log into the database: that would write it.
  sqlite3_db_config(raw, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  sqlite3_db_config(raw, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(raw, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_limit(raw, SQLITE_LIMIT_LENGTH, kLongestValue);
  sqlite3_progress_handler(raw, kInstructionsPerStep, &Budget::Step, &budget);

  Reader reader(raw);
  // One read transaction: the three queries see one state of the database.
  if (!reader.Execute(kSetUp) || !reader.Execute("BEGIN"))
    return fail("cannot read the database");
  const bool plain = reader.Each(kNotPlainTables, [&](sqlite3_stmt* s) {
    refusal = budget.Text(s, 0) + " is not a plain table";
    return false;
  });
  if (!plain)
    return fail("cannot read the bookmarks");

  std::map<std::int64_t, std::vector<std::string>> tags;
  std::map<std::int64_t, std::pair<std::string, std::string>> keywords;
  std::vector<std::int64_t> places;
  std::unordered_set<std::int64_t> ids;
  const bool read = reader.Each(kBookmarksQuery, [&](sqlite3_stmt* s) {
    BookmarkRow row;
    row.id = sqlite3_column_int64(s, 0);
    // A database whose pages repeat would list its rows again and again.
    if (!ids.insert(row.id).second) {
      refusal = "bookmark " + std::to_string(row.id) + " is listed twice";
      return false;
    }
    row.parent = sqlite3_column_int64(s, 1);
    row.position = sqlite3_column_int64(s, 2);
    row.type = sqlite3_column_int(s, 3);
    row.guid = budget.Text(s, 4);
    row.title = budget.Text(s, 5);
    row.date_added = sqlite3_column_int64(s, 6);
    row.last_modified = sqlite3_column_int64(s, 7);
    places.push_back(sqlite3_column_int64(s, 8));
    row.url = budget.Text(s, 9);
    rows->push_back(std::move(row));
    return !budget.spent;
  }) && reader.Each(kTagsQuery, [&](sqlite3_stmt* s) {
    tags[sqlite3_column_int64(s, 0)].push_back(budget.Text(s, 1));
    return !budget.spent;
  }) && reader.Each(kKeywordsQuery, [&](sqlite3_stmt* s) {
    keywords.try_emplace(sqlite3_column_int64(s, 0), budget.Text(s, 1), budget.Text(s, 2));
    return !budget.spent;
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
