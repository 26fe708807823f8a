// Times the typed-URL item on a profile whose places.sqlite holds 10,000 bookmarks (a tenth of
// them tagged, some with keywords): reading them through SQLite, writing Firefox's backup and
// deleting the database. Then the same item on hostile places.sqlite files of 32 KB, each made
// to make its reader spin or grow: each must be refused (the file stays) within 1 s and 64 MB,
// measured in a child process of its own. Everything happens in a fresh temporary folder made
// here and removed at the end.
// Usage: backup_bench [--bookmarks N] [--repeat N] [--max-seconds S]
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "firefox/firefox_history.h"
#include "platform/posix/ini_profile_strings.h"
#include "platform/posix/posix_file_patterns.h"
#include "platform/posix/posix_folder_tree.h"
#include "platform/posix/posix_profile_folder.h"
#include "platform/posix/regedit4_registry.h"
#include "platform/sqlite/sqlite_bookmark_store.h"

namespace fs = std::filesystem;
using namespace larkspur;

namespace {

class NoStatus final : public StatusLine {
 public:
  void SetCaption(const std::string&) override {}
};

bool MakePlaces(const fs::path& path, int bookmarks) {
  std::string sql =
      "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR);"
      "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER,"
      " parent INTEGER, position INTEGER, title LONGVARCHAR, dateAdded INTEGER,"
      " lastModified INTEGER, guid TEXT);"
      "CREATE INDEX moz_bookmarks_itemindex ON moz_bookmarks (fk, type);"
      "CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY, keyword TEXT UNIQUE, place_id INTEGER,"
      " post_data TEXT);"
      "INSERT INTO moz_bookmarks VALUES (1,2,NULL,0,0,'',1,1,'root________'),"
      " (2,2,NULL,1,0,'menu',1,1,'menu________'), (3,2,NULL,1,1,'toolbar',1,1,'toolbar_____'),"
      " (4,2,NULL,1,2,'tags',1,1,'tags________'), (5,2,NULL,1,3,'unfiled',1,1,'unfiled_____'),"
      " (6,2,NULL,1,4,'mobile',1,1,'mobile______'),"
      " (7,2,NULL,4,0,'work',1,1,'tagfolder001');"
      "BEGIN;";
  for (int n = 0; n < bookmarks; ++n) {
    const std::string id = std::to_string(100 + n);
    const std::string folder = n % 100 == 0 ? "2" : std::to_string(100 + n - n % 100);
    const bool is_folder = n % 100 == 0;
    sql += "INSERT INTO moz_places VALUES (" + id + ",'https://site" + id + ".example/path?q=\"" +
           id + "\"','Page " + id + "');";
    sql += "INSERT INTO moz_bookmarks VALUES (" + id + "," +
           (is_folder ? "2,NULL," : "1," + id + ",") + folder + "," + std::to_string(n % 100) +
           ",'Bookmark \u00e9 " + id + "',1700000000000000," + "1700000000000001,'bm" + id + "');";
    if (n % 10 == 1)
      sql += "INSERT INTO moz_bookmarks VALUES (" + std::to_string(1000000 + n) + ",1," + id +
             ",7,0,NULL,1,1,'tg" + id + "');";
    if (n % 50 == 1)
      sql += "INSERT INTO moz_keywords (keyword, place_id) VALUES ('k" + id + "'," + id + ");";
  }
  sql += "COMMIT;";
  sqlite3* db = nullptr;
  const bool made = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return made;
}

bool Execute(const fs::path& path, const std::string& sql) {
  sqlite3* db = nullptr;
  const bool done = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return done;
}

int RootPage(const fs::path& path, const std::string& table) {
  sqlite3* db = nullptr;
  sqlite3_stmt* query = nullptr;
  int page = 0;
  if (sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
      sqlite3_prepare_v2(
          db, ("SELECT rootpage FROM sqlite_master WHERE name = '" + table + "'").c_str(), -1,
          &query, nullptr) == SQLITE_OK &&
      sqlite3_step(query) == SQLITE_ROW)
    page = sqlite3_column_int(query, 0);
  sqlite3_finalize(query);
  sqlite3_close(db);
  return page;
}

constexpr int kPageSize = 512;
constexpr int kLevels = 16;
constexpr int kCellsPerPage = 50;

// A places.sqlite of 32 KB (pages of 512 bytes) whose `table` is a chain of 16 interior pages,
// each pointing 51 times at the next and the last at the table's real rows: a plain scan meets
// every row 51^16 times.
bool MakeRepeatingPages(const fs::path& path, const std::string& table) {
  std::string sql = "PRAGMA page_size=" + std::to_string(kPageSize) +
                    "; PRAGMA journal_mode=DELETE;"
                    "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT);"
                    "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER,"
                    " parent INTEGER, position INTEGER, title TEXT, dateAdded INTEGER,"
                    " lastModified INTEGER, guid TEXT);"
                    "CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY, keyword TEXT,"
                    " place_id INTEGER, post_data TEXT);"
                    "INSERT INTO moz_places VALUES (7, 'https://a.example/', 'A');"
                    "INSERT INTO moz_bookmarks VALUES (1,2,NULL,0,0,'',1,1,'root________'),"
                    " (2,2,NULL,1,0,'menu',1,1,'menu________'),"
                    " (5,2,NULL,1,3,'unfiled',1,1,'unfiled_____'),"
                    " (20,1,7,2,0,'A bookmark',1,1,'bookmark0020');"
                    "INSERT INTO moz_keywords VALUES (1, 'k', 7, NULL);"
                    "CREATE TABLE filler (x BLOB);"
                    "INSERT INTO filler VALUES (zeroblob(" +
                    std::to_string(56 * kPageSize) + "));";
  if (!Execute(path, sql))
    return false;
  const int rows = RootPage(path, table);
  // The filler's overflow pages end the file; the last of them become the chain.
  std::error_code failed;
  const int first = static_cast<int>(fs::file_size(path, failed) / kPageSize) - kLevels + 1;
  if (rows == 0 || failed)
    return false;
  if (!Execute(path, "PRAGMA writable_schema=ON; UPDATE sqlite_master SET rootpage=" +
                         std::to_string(first) + " WHERE name='" + table + "'"))
    return false;
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  for (int level = 0; level < kLevels; ++level) {
    const int next = level + 1 < kLevels ? first + level + 1 : rows;
    unsigned char page[kPageSize] = {};
    const auto put32 = [&](int at, int value) {
      for (int byte = 0; byte < 4; ++byte)
        page[at + byte] = static_cast<unsigned char>(value >> (24 - 8 * byte));
    };
    page[0] = 0x05;  // an interior page of a table
    page[3] = 0;
    page[4] = kCellsPerPage;
    const int content = kPageSize - 5 * kCellsPerPage;
    page[5] = static_cast<unsigned char>(content >> 8);
    page[6] = static_cast<unsigned char>(content & 0xff);
    put32(8, next);
    for (int cell = 0; cell < kCellsPerPage; ++cell) {
      const int at = content + 5 * cell;
      page[12 + 2 * cell] = static_cast<unsigned char>(at >> 8);
      page[13 + 2 * cell] = static_cast<unsigned char>(at & 0xff);
      put32(at, next);
      page[at + 4] = static_cast<unsigned char>(cell + 1);  // the key, a one-byte varint
    }
    file.seekp(static_cast<std::streamoff>(first + level - 1) * kPageSize);
    file.write(reinterpret_cast<const char*>(page), kPageSize);
  }
  return static_cast<bool>(file);
}

struct Hostile {
  const char* what;
  std::function<bool(const fs::path&)> make;
};

std::vector<Hostile> HostileDatabases() {
  const std::string tables =
      "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT, title TEXT);"
      "CREATE TABLE moz_keywords (id INTEGER PRIMARY KEY, keyword TEXT, place_id INTEGER,"
      " post_data TEXT);";
  const std::string bookmarks =
      "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER,"
      " parent INTEGER, position INTEGER, title TEXT, dateAdded INTEGER, lastModified INTEGER,"
      " guid TEXT);";
  std::string loop = tables + bookmarks +
                     "INSERT INTO moz_bookmarks VALUES (1,2,NULL,0,0,'',1,1,'root________'),"
                     " (5,2,NULL,1,3,'unfiled',1,1,'unfiled_____');";
  for (int n = 100; n < 300; ++n)
    loop += "INSERT INTO moz_bookmarks VALUES (" + std::to_string(n) + ",2,NULL," +
            std::to_string(n == 299 ? 100 : n + 1) + ",0,'loop',1,1,'loop" + std::to_string(n) +
            "');";
  return {
      {"moz_bookmarks' pages repeated",
       [](const fs::path& p) { return MakeRepeatingPages(p, "moz_bookmarks"); }},
      {"moz_keywords' pages repeated",
       [](const fs::path& p) { return MakeRepeatingPages(p, "moz_keywords"); }},
      {"an endless recursive view as moz_bookmarks",
       [tables](const fs::path& p) {
         return Execute(p, tables +
                               "CREATE VIEW moz_bookmarks AS WITH RECURSIVE n(id) AS (SELECT 1 "
                               "UNION ALL SELECT id + 1 FROM n) SELECT id, 2 AS type, NULL AS fk,"
                               " id - 1 AS parent, 0 AS position, 'x' AS title, 1 AS dateAdded,"
                               " 1 AS lastModified, 'g' || id AS guid FROM n;");
       }},
      {"a column computed to 100 MB on every read",
       [tables, bookmarks](const fs::path& p) {
         return Execute(p, tables + bookmarks +
                               "ALTER TABLE moz_places ADD COLUMN grown TEXT AS "
                               "(printf('%.*c', 100000000, 'x'));"
                               "INSERT INTO moz_places (id, url) VALUES (1, 'x');");
       }},
      {"200 folders inside each other in a loop",
       [loop](const fs::path& p) { return Execute(p, loop); }},
  };
}

// Runs `work` in a child process: its wall and processor time, and its peak memory above an idle
// child's. On a machine that others share, the processor time is what the work itself took.
bool Measure(const std::function<bool()>& work, double* seconds, double* cpu_seconds,
             long* extra_kb) {
  const auto peak = [&](const std::function<bool()>& job, bool* passed) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0)
      ::_exit(job() ? 0 : 1);
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) {
      *passed = false;
      return 0L;
    }
    *passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const auto time = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    *cpu_seconds = time(usage.ru_utime) + time(usage.ru_stime);
    return usage.ru_maxrss;
  };
  bool idle_passed = false;
  const long idle = peak([] { return true; }, &idle_passed);
  bool passed = false;
  const auto start = std::chrono::steady_clock::now();
  const long used = peak(work, &passed);
  *seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  *extra_kb = std::max(0L, used - idle);
  return passed;
}

}  // namespace

int main(int argc, char** argv) {
  int bookmarks = 10000;
  int repeat = 5;
  double max_seconds = 0.5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    if (option == "--bookmarks")
      bookmarks = std::atoi(argv[i + 1]);
    else if (option == "--repeat")
      repeat = std::max(1, std::atoi(argv[i + 1]));
    else if (option == "--max-seconds")
      max_seconds = std::atof(argv[i + 1]);
  }

  std::string pattern = (fs::temp_directory_path() / "larkspur-backup-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr)
    return 2;
  const fs::path root = pattern;
  const fs::path home = root / "home";
  const fs::path firefox = root / "config" / "mozilla" / "firefox";
  const fs::path profile = firefox / "p.default";
  fs::create_directories(profile);
  std::FILE* prefs = std::fopen((profile / "prefs.js").c_str(), "w");
  std::fclose(prefs);
  std::FILE* ini = std::fopen((firefox / "profiles.ini").c_str(), "w");
  std::fputs("[Profile0]\nPath=p.default\n", ini);
  std::fclose(ini);
  const fs::path source = root / "places.sqlite";
  if (!MakePlaces(source, bookmarks)) {
    std::fprintf(stderr, "cannot make the database\n");
    fs::remove_all(root);
    return 2;
  }

  Regedit4Registry registry((root / "registry.reg").string(),
                            {{kShellFoldersKey, "AppData", (root / "config").string()}});
  IniProfileStrings profile_strings;
  PosixFilePatterns files;
  PosixProfileFolders profiles({home.string()});
  PosixFolderTree folders(home.string());
  SqliteBookmarkStore store;
  NoStatus status;
  RunRecord record(status);
  FirefoxHistory items(FirefoxPorts{registry, profile_strings, files, profiles, folders, store,
                                    status, record, "",
                                    [] { return std::chrono::year(2026) / 12 / 7; }});

  bool hostile_refused = true;
  for (const Hostile& hostile : HostileDatabases()) {
    const fs::path made = root / "hostile.sqlite";
    fs::remove(made);
    if (!hostile.make(made)) {
      std::fprintf(stderr, "cannot make the database with %s\n", hostile.what);
      hostile_refused = false;
      continue;
    }
    fs::copy_file(made, profile / "places.sqlite", fs::copy_options::overwrite_existing);
    double took = 0;
    double cpu = 0;
    long extra_kb = 0;
    const bool refused = Measure(
        [&] {
          items.Delete_FirefoxTypedUrls();
          std::printf("  told: %s\n", items.TakeStayed().c_str());
          std::fflush(stdout);
          return fs::exists(profile / "places.sqlite") && !fs::exists(profile / "bookmarkbackups");
        },
        &took, &cpu, &extra_kb);
    std::printf(
        "hostile places.sqlite of %ju bytes with %s: %s in %.3f s (processor %.3f s), %ld KB "
        "more than an idle process; limits 1 s, 65536 KB\n",
        fs::file_size(made), hostile.what, refused ? "refused and kept" : "NOT REFUSED", took, cpu,
        extra_kb);
    hostile_refused = hostile_refused && refused && cpu < 1.0 && extra_kb < 64 * 1024;
  }

  std::vector<double> seconds;
  std::uintmax_t backup_size = 0;
  for (int run = 0; run < repeat; ++run) {
    fs::remove_all(profile / "bookmarkbackups");
    fs::copy_file(source, profile / "places.sqlite", fs::copy_options::overwrite_existing);
    const auto start = std::chrono::steady_clock::now();
    items.Delete_FirefoxTypedUrls();
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    std::error_code error;
    backup_size = fs::file_size(profile / "bookmarkbackups" / "bookmarks-2026-12-07.json", error);
    if (error || fs::exists(profile / "places.sqlite")) {
      std::fprintf(stderr, "the backup was not written: %s\n", items.TakeStayed().c_str());
      fs::remove_all(root);
      return 2;
    }
  }
  fs::remove_all(root);
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  std::printf(
      "%d bookmarks: backup of %ju bytes written and places.sqlite deleted in %.3f s "
      "(median of %d; fastest %.3f s, slowest %.3f s); limit %.3f s\n",
      bookmarks, backup_size, median, repeat, seconds.front(), seconds.back(), max_seconds);
  return median <= max_seconds && hostile_refused ? 0 : 1;
}
