// Times the typed-URL item on a profile whose places.sqlite holds 10,000 bookmarks (a tenth of
// them tagged, some with keywords): reading them through SQLite, writing Firefox's backup and
// deleting the database. Everything happens in a fresh temporary folder made here and removed
// at the end. Usage: backup_bench [--bookmarks N] [--repeat N] [--max-seconds S]
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
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
  return median <= max_seconds ? 0 : 1;
}
