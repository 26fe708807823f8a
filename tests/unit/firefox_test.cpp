#include "firefox/firefox.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "fakes/fake_registry.h"
#include "firefox/firefox_history.h"
#include "platform/path_text.h"
#include "platform/sqlite/sqlite_bookmark_store.h"
#include "support/native_ports.h"
#include "support/places_db.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using testing::ReadFile;
using testing::WriteFile;

#ifdef _WIN32
const fs::path kFirefoxFolder = fs::path("Mozilla") / "Firefox";
#else
const fs::path kFirefoxFolder = fs::path("mozilla") / "firefox";
#endif

class Status final : public StatusLine {
 public:
  void SetCaption(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

class FirefoxTest : public ::testing::Test {
 protected:
  FirefoxTest() {
    registry_.PutString(kShellFoldersKey, "AppData", app_data_.string());
    registry_.PutString(kShellFoldersKey, "Local AppData", local_.string());
  }

  FirefoxPorts Ports() {
    return FirefoxPorts{
        registry_,  *ini_,   *files_, *profiles_, *folders_,
        bookmarks_, status_, record_, "",         [] { return std::chrono::year(2026) / 12 / 7; },
        packaged_};
  }

  void WriteProfilesIni(const std::string& sections, const fs::path& folder = {}) {
    WriteFile((folder.empty() ? firefox_ : folder) / "profiles.ini",
              sections + "[General]\nStartWithLastProfile=1\nVersion=2\n");
  }

  // A profile with every file the cleaners know, and some they must leave alone.
  fs::path MakeProfile(const fs::path& profile) {
    fs::create_directories(profile);
    testing::WritePlaces(Utf8FromPath(profile / "places.sqlite"),
                         "INSERT INTO moz_places VALUES (7, 'https://kept.example/', '');"
                         "INSERT INTO moz_bookmarks VALUES (20, 1, 7, 3, 0, 'Kept', 5, 6, 'g20')");
    // After the database: SQLite removes a log it finds beside a database it creates.
    for (const char* name :
         {"places.sqlite-wal", "places.sqlite-shm", "formhistory.sqlite",
          "formhistory.sqlite-journal", "downloads.sqlite", "cookies.sqlite", "cookies.sqlite-wal",
          "cookies.txt", "history.dat", "bookmarks.html", "bookmarks.bak", "favicons.sqlite",
          "prefs.js", "XUL.cache", "cache/_CACHE_MAP_", "cache/sub/kept", "sub/deep.cache"})
      WriteFile(profile / name, name);
    return profile;
  }

  std::set<std::string> Remaining(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (!entry.is_directory())
        names.insert(fs::relative(entry.path(), folder).generic_string());
    return names;
  }

  void RunAll() {
    record_.Notes().Clear();
    FirefoxHistory items(Ports());
    items.Delete_FirefoxHistory();
    items.Delete_FirefoxDownloads();
    items.Delete_FirefoxTypedUrls();
    items.Delete_FirefoxCookies();
    items.Delete_FirefoxCache();
    stayed_ = JoinedNotes(record_.Notes().Sentences());
  }

  testing::TempDir dir_;
  fs::path app_data_ = dir_ / "config";
  fs::path local_ = dir_ / "local";
  fs::path firefox_ = app_data_ / kFirefoxFolder;
  std::vector<FirefoxPlace> packaged_;
  testing::FakeRegistry registry_;
  std::unique_ptr<ProfileStringPort> ini_ = testing::NativeProfileStrings();
  std::unique_ptr<FilePatternPort> files_ = testing::NativeFilePatterns();
  std::unique_ptr<ProfileFolders> profiles_ = testing::NativeProfileFolders(dir_.str());
  std::unique_ptr<FolderTree> folders_ = testing::NativeFolderTree(dir_.str());
  SqliteBookmarkStore bookmarks_;
  Status status_;
  RunRecord record_{status_};
  std::string stayed_;
};

TEST_F(FirefoxTest, DeletesExactlyTheNamedFilesKeepsTheBookmarksAndEmptiesTheDiskCache) {
  WriteProfilesIni("[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/abcd.default\n\n");
  const fs::path profile = MakeProfile(firefox_ / "Profiles" / "abcd.default");
  const fs::path cache2 = local_ / kFirefoxFolder / "Profiles" / "abcd.default" / "cache2";
  WriteFile(cache2 / "entries" / "0123ABCD", "cached");
  WriteFile(cache2 / "index", "index");
  WriteFile(local_ / kFirefoxFolder / "Profiles" / "abcd.default" / "startupCache" / "kept",
            "kept");

  RunAll();
  EXPECT_EQ(stayed_, "");
  // Three databases with two journals each at most, history.dat, cookies.txt, XUL.cache, the
  // old cache's file and the two of cache2; each shown as it goes.
  EXPECT_EQ(record_.Total().erased_items, 14u);
  EXPECT_EQ(record_.Total().StayedCount(), 0u);
  EXPECT_THAT(status_.texts, ::testing::Contains("-->" + Utf8FromPath(profile / "cookies.txt")));
  EXPECT_THAT(status_.texts, ::testing::Contains("-->" + Utf8FromPath(cache2 / "index")));
  EXPECT_EQ(Remaining(profile),
            (std::set<std::string>{"bookmarks.html", "bookmarks.bak", "favicons.sqlite", "prefs.js",
                                   "cache/sub/kept", "sub/deep.cache",
                                   "bookmarkbackups/bookmarks-2026-12-07.json"}));
  EXPECT_THAT(
      ReadFile(profile / "bookmarkbackups" / "bookmarks-2026-12-07.json"),
      HasSubstr(R"("title":"Kept","index":0,"dateAdded":5,"lastModified":6,"id":20,)"
                R"("typeCode":1,"type":"text/x-moz-place","uri":"https://kept.example/"})"));
  EXPECT_TRUE(fs::is_directory(cache2));
  EXPECT_TRUE(fs::is_empty(cache2));
  EXPECT_TRUE(
      fs::exists(local_ / kFirefoxFolder / "Profiles" / "abcd.default" / "startupCache" / "kept"));
}

TEST_F(FirefoxTest, EveryListedProfileOnceWhateverTheGapsAndSpellings) {
  const fs::path absolute = dir_ / "elsewhere" / "abs.profile";
  const std::string long_entry(300, 'p');
  WriteProfilesIni(
      "[Profile0]\nIsRelative=1\nPath=rel.default\n\n"
      "[Profile1]\nIsRelative=0\nPath=" +
      absolute.string() +
      "\n\n"
      "[Profile3]\nIsRelative=1\nPath=./rel.default/\n\n"  // after a gap, again
      "[Profile4]\nIsRelative=1\nPath=not-a-profile\n\n"
      "[Profile5]\nIsRelative=1\nPath=" +
      long_entry +
      "\n\n"
      "[Profile7]\nIsRelative=1\nPath=times-only\n\n");
  // Firefox keeps the disk cache of a profile listed with an absolute path inside it.
  WriteFile(absolute / "cache2" / "entries" / "ABCD", "cached");
  WriteFile(local_ / kFirefoxFolder / "rel.default" / "cache2" / "entries" / "ABCD", "cached");
  for (const fs::path& profile : {firefox_ / "rel.default", absolute, firefox_ / "times-only",
                                  firefox_ / "not-a-profile", firefox_ / long_entry.substr(0, 254)})
    WriteFile(profile / "cookies.sqlite", "c");
  for (const fs::path& profile :
       {firefox_ / "rel.default", absolute, firefox_ / long_entry.substr(0, 254)})
    WriteFile(profile / "prefs.js", "");
  WriteFile(firefox_ / "times-only" / "times.json", "{}");
  // A damaged database is reported once for each profile it is in: the repeated entry is not.
  WriteFile(firefox_ / "rel.default" / "places.sqlite", "damaged");

  FirefoxHistory items(Ports());
  items.Delete_FirefoxCookies();
  items.Delete_FirefoxTypedUrls();
  items.Delete_FirefoxCache();
  EXPECT_TRUE(fs::is_empty(absolute / "cache2"));
  EXPECT_TRUE(fs::is_empty(local_ / kFirefoxFolder / "rel.default" / "cache2"));
  EXPECT_FALSE(fs::exists(firefox_ / "rel.default" / "cookies.sqlite"));
  EXPECT_FALSE(fs::exists(absolute / "cookies.sqlite"));
  EXPECT_FALSE(fs::exists(firefox_ / "times-only" / "cookies.sqlite"));
  EXPECT_TRUE(fs::exists(firefox_ / "not-a-profile" / "cookies.sqlite"));
  // A Path the INI reader cut short names a shorter namesake, never cleaned.
  EXPECT_TRUE(fs::exists(firefox_ / long_entry.substr(0, 254) / "cookies.sqlite"));
  const std::vector<std::string> notes = record_.Notes().Sentences();
  EXPECT_EQ(std::count_if(notes.begin(), notes.end(),
                          [](const std::string& text) {
                            return text.find("could not be saved") != std::string::npos;
                          }),
            1);
  EXPECT_TRUE(fs::exists(firefox_ / "rel.default" / "places.sqlite"));
  // The profiles refused stay, counted for each item, and the user learns which and why.
  EXPECT_THAT(notes,
              ::testing::Contains("Firefox profile " + Utf8FromPath(firefox_ / "not-a-profile") +
                                  " skipped: it holds neither prefs.js nor times.json."));
  EXPECT_EQ(record_.Total().stayed[static_cast<std::size_t>(StayReason::kRefused)], 2u * 3);
}

TEST_F(FirefoxTest, ABackupOfTheSameDayMovesBackSoOursIsTheOneRestored) {
  WriteProfilesIni("[Profile0]\nPath=p.default\n\n");
  const fs::path profile = MakeProfile(firefox_ / "p.default");
  const fs::path backups = profile / "bookmarkbackups";
  const std::string hash = "_3_abcdefghijklmnopqrstuvwx==.jsonlz4";
  WriteFile(backups / ("bookmarks-2026-12-07" + hash), "firefox's own of this morning");
  WriteFile(backups / ("bookmarks-2026-12-06" + hash), "yesterday's, same hash");
  WriteFile(backups / "bookmarks-2026-12-07.json", "ours of an earlier run today");

  FirefoxHistory(Ports()).Delete_FirefoxTypedUrls();
  EXPECT_EQ(Remaining(backups),
            (std::set<std::string>{"bookmarks-2026-12-07.json", "bookmarks-2026-12-06.json",
                                   "bookmarks-2026-12-06" + hash, "bookmarks-2026-12-05" + hash}));
  EXPECT_EQ(ReadFile(backups / ("bookmarks-2026-12-05" + hash)), "firefox's own of this morning");
  EXPECT_EQ(ReadFile(backups / ("bookmarks-2026-12-06" + hash)), "yesterday's, same hash");
  EXPECT_EQ(ReadFile(backups / "bookmarks-2026-12-06.json"), "ours of an earlier run today");
  EXPECT_THAT(ReadFile(backups / "bookmarks-2026-12-07.json"), HasSubstr("kept.example"));
  EXPECT_FALSE(fs::exists(profile / "places.sqlite"));
}

TEST_F(FirefoxTest, WhenTheBookmarksCannotBeSavedTheDatabaseStaysAndTheUserIsTold) {
  WriteProfilesIni("[Profile0]\nPath=p.default\n\n");
  const fs::path profile = MakeProfile(firefox_ / "p.default");
  WriteFile(profile / "bookmarkbackups", "a file where the folder should be");

  RunAll();
  EXPECT_TRUE(fs::exists(profile / "places.sqlite"));
  EXPECT_TRUE(fs::exists(profile / "places.sqlite-wal"));
  EXPECT_FALSE(fs::exists(profile / "cookies.sqlite"));
  EXPECT_EQ(stayed_,
            "Firefox bookmarks could not be saved, so history stays (profile p.default): the "
            "backup cannot be written.");
  EXPECT_EQ(record_.Total().stayed[static_cast<std::size_t>(StayReason::kAccessRefused)], 1u);

  fs::remove(profile / "bookmarkbackups");
  WriteFile(profile / "places.sqlite", "not a database");
  RunAll();
  EXPECT_EQ(ReadFile(profile / "places.sqlite"), "not a database");
  EXPECT_THAT(stayed_, HasSubstr("could not be saved"));
  EXPECT_FALSE(fs::exists(profile / "bookmarkbackups"));
}

TEST_F(FirefoxTest, NothingIsDeletedWithoutAnApplicationDataFolder) {
  // The files a root-relative "\Mozilla\Firefox" would reach, relative to the current folder.
  const fs::path relative_profile = dir_.path() / kFirefoxFolder / "p.default";
  WriteFile(dir_.path() / kFirefoxFolder / "profiles.ini", "[Profile0]\nPath=p.default\n");
  WriteFile(relative_profile / "cookies.sqlite", "keep");
  WriteFile(relative_profile / "prefs.js", "");
  packaged_ = {{Utf8FromPath(dir_.path() / kFirefoxFolder), ""}};  // not even as a Snap's
  const fs::path before = fs::current_path();
  fs::current_path(dir_.path());
  for (const std::string app_data : {"", "config", "mozilla/.."}) {
    registry_.PutString(kShellFoldersKey, "AppData", app_data);
    RunAll();
  }
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(relative_profile / "cookies.sqlite"));
}

#ifndef _WIN32
TEST_F(FirefoxTest, SnapAndFlatpakProfilesEachOnceWithTheirOwnCachesNeverTheirConfig) {
  packaged_ = PackagedFirefoxPlaces(dir_.str());
  const fs::path snap = dir_ / "snap/firefox/common";
  const fs::path flatpak = dir_ / ".var/app/org.mozilla.firefox";
  WriteProfilesIni("[Profile0]\nPath=main.default\n\n");
  const fs::path main = MakeProfile(firefox_ / "main.default");
  // The Snap lists its own profile, and Firefox's again by its absolute path.
  WriteProfilesIni(
      "[Profile0]\nPath=Profiles/s\n\n[Profile1]\nIsRelative=0\nPath=" + main.string() + "\n\n",
      snap / ".mozilla/firefox");
  WriteProfilesIni("[Profile0]\nPath=h\n\n", flatpak / ".mozilla/firefox");
  WriteProfilesIni("[Profile0]\nPath=c\n\n", flatpak / "config/mozilla/firefox");
  for (const fs::path& profile :
       {snap / ".mozilla/firefox/Profiles/s", flatpak / ".mozilla/firefox/h",
        flatpak / "config/mozilla/firefox/c"})
    MakeProfile(profile);
  const fs::path caches[] = {snap / ".cache/mozilla/firefox/Profiles/s/cache2",
                             flatpak / "cache/mozilla/firefox/h/cache2",
                             flatpak / "cache/mozilla/firefox/c/cache2"};
  for (const fs::path& cache : caches)
    WriteFile(cache / "entries" / "0123ABCD", "cached");
  WriteFile(main / "cache2" / "kept", "swept only if main were opened again as listed by the Snap");

  RunAll();
  EXPECT_EQ(stayed_, "");
  for (const fs::path& cache : caches)
    EXPECT_TRUE(fs::is_empty(cache)) << cache;
  // The first test's 12 files of each profile, once, and the three caches' entries: nothing else.
  EXPECT_EQ(record_.Total().erased_items, 4 * 12u + 3u);
}
#endif

TEST_F(FirefoxTest, AProfileEntryLeadingOutOfTheFirefoxFolderIsRefused) {
  WriteFile(app_data_ / "cookies.sqlite", "trap above the Firefox folder");
  WriteFile(app_data_ / "prefs.js", "");
  for (const char* entry : {"../..", "..\\..", "Profiles/../../..", "a/../..", ".."}) {
    WriteProfilesIni(std::string("[Profile0]\nPath=") + entry + "\n\n");
    RunAll();
  }
  EXPECT_TRUE(fs::exists(app_data_ / "cookies.sqlite"));
}

TEST_F(FirefoxTest, ACacheFolderThatIsALinkIsNotFollowed) {
  WriteProfilesIni("[Profile0]\nPath=p.default\n\n");
  const fs::path profile = MakeProfile(firefox_ / "p.default");
  fs::remove_all(profile / "cache");
  WriteFile(dir_ / "elsewhere" / "precious", "keep");
  std::error_code error;
  fs::create_directory_symlink(dir_ / "elsewhere", profile / "cache", error);
  if (error)
    GTEST_SKIP() << "no folder links here: " << error.message();
  FirefoxHistory(Ports()).Delete_FirefoxCache();
  EXPECT_EQ(ReadFile(dir_ / "elsewhere" / "precious"), "keep");
  EXPECT_FALSE(fs::exists(profile / "XUL.cache"));
}

TEST_F(FirefoxTest, ABookmarksDeletionExistsButNoItemUsesIt) {
  WriteProfilesIni("[Profile0]\nPath=p.default\n\n");
  const fs::path profile = MakeProfile(firefox_ / "p.default");
  RunAll();
  EXPECT_TRUE(fs::exists(profile / "bookmarks.html"));
  auto opened = profiles_->Open(firefox_.string(), "p.default", true);
  ASSERT_NE(opened, nullptr);
  Firefox(Ports(), *opened).Delete_Bookmarks();
  EXPECT_FALSE(fs::exists(profile / "bookmarks.html"));
  EXPECT_FALSE(fs::exists(profile / "bookmarks.bak"));
}

}  // namespace
}  // namespace larkspur
