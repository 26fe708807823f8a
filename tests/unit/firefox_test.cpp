#include "firefox/firefox.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "fakes/fake_registry.h"
#include "firefox/firefox_history.h"
#include "platform/path_text.h"
#include "support/native_ports.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::WriteFile;

#ifdef _WIN32
const fs::path kFirefoxFolder = fs::path("Mozilla") / "Firefox";
#else
const fs::path kFirefoxFolder = fs::path("mozilla") / "firefox";
#endif
const std::string kSeparator(1, kPathSeparator);

// Real files, but deletions of the paths named in `in_use` fail, as for files a running
// browser holds open.
class FilesInUse final : public FilePatternPort {
 public:
  bool DeleteMatching(const std::string& path_pattern) override {
    return in_use.count(path_pattern) == 0 && files_->DeleteMatching(path_pattern);
  }
  bool Exists(const std::string& path) override { return files_->Exists(path); }
  bool IsFolder(const std::string& path) override { return files_->IsFolder(path); }

  std::set<std::string> in_use;

 private:
  std::unique_ptr<FilePatternPort> files_ = testing::NativeFilePatterns();
};

class FirefoxTest : public ::testing::Test {
 protected:
  FirefoxTest() { registry_.PutString(kShellFoldersKey, "AppData", app_data_.string()); }

  FirefoxPorts Ports() { return FirefoxPorts{registry_, *ini_, files_, legacy_.string()}; }

  void WriteProfilesIni(const fs::path& firefox_folder, const std::string& profile0_path) {
    WriteFile(firefox_folder / "profiles.ini",
              "[Profile1]\nName=default\nIsRelative=1\nPath=other.default\nDefault=1\n\n"
              "[Profile0]\nName=default-esr\nIsRelative=1\nPath=" +
                  profile0_path + "\n\n[General]\nStartWithLastProfile=1\nVersion=2\n");
  }

  // A profile with every file the cleaners know, and some they must leave alone.
  fs::path MakeProfile(const std::string& relative = "abcd1234.default-esr") {
    WriteProfilesIni(firefox_, relative);
    const fs::path profile = firefox_ / relative;
    for (const char* name : {"places.sqlite",
                             "places.sqlite-wal",
                             "places.sqlite-shm",
                             "formhistory.sqlite",
                             "formhistory.sqlite-journal",
                             "downloads.sqlite",
                             "cookies.sqlite",
                             "cookies.sqlite-wal",
                             "cookies.txt",
                             "history.dat",
                             "bookmarks.html",
                             "bookmarks.bak",
                             "favicons.sqlite",
                             "favicons.sqlite-wal",
                             "prefs.js",
                             "XUL.cache",
                             "cache/_CACHE_MAP_",
                             "cache/block1",
                             "cache/sub/kept",
                             "sub/deep.cache"})
      WriteFile(profile / name, name);
    return profile;
  }

  std::set<std::string> Remaining(const fs::path& profile) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(profile))
      if (!entry.is_directory())
        names.insert(fs::relative(entry.path(), profile).generic_string());
    return names;
  }

  testing::TempDir dir_;
  fs::path app_data_ = dir_ / "config";
  fs::path firefox_ = app_data_ / kFirefoxFolder;
  fs::path legacy_ = dir_ / "home" / ".mozilla" / "firefox";
  testing::FakeRegistry registry_;
  std::unique_ptr<ProfileStringPort> ini_ = testing::NativeProfileStrings();
  FilesInUse files_;
};

TEST_F(FirefoxTest, LocatesTheProfileThatProfile0Names) {
  WriteProfilesIni(firefox_, "Profiles/abcd1234.default");
  Firefox firefox(Ports());
  EXPECT_EQ(firefox.ProfileDir(), (firefox_ / "Profiles" / "abcd1234.default").string());
  EXPECT_EQ(firefox.GetFireFoxPath(), firefox.ProfileDir());
  EXPECT_EQ(firefox.CookiesTxtFile(), firefox.ProfileDir() + kSeparator + "cookies.txt");
  EXPECT_EQ(firefox.CacheDir(), firefox.ProfileDir() + kSeparator + "cache");
}

TEST_F(FirefoxTest, PrefersTheOlderFolderInHomeWhereItExists) {
  WriteProfilesIni(firefox_, "new.default");
  WriteProfilesIni(legacy_, "old.default");
  EXPECT_EQ(Firefox(Ports()).ProfileDir(), (legacy_ / "old.default").string());
}

TEST_F(FirefoxTest, EntriesThatNameNoUsableProfile) {
  // No profiles.ini: the Firefox folder itself, with a trailing separator.
  EXPECT_EQ(Firefox(Ports()).ProfileDir(), firefox_.string() + kSeparator);

  // A Path ending in a separator keeps it, and a long one is cut to 254 characters.
  WriteProfilesIni(firefox_, "trailing/");
  EXPECT_EQ(Firefox(Ports()).ProfileDir(),
            firefox_.string() + kSeparator + "trailing" + kSeparator);
  WriteProfilesIni(firefox_, std::string(300, 'p'));
  EXPECT_EQ(Firefox(Ports()).ProfileDir(), firefox_.string() + kSeparator + std::string(254, 'p'));
}

TEST_F(FirefoxTest, DeletesExactlyTheNamedFiles) {
  const fs::path profile = MakeProfile();
  FirefoxHistory items(Ports());
  items.Delete_FirefoxHistory();
  items.Delete_FirefoxDownloads();
  items.Delete_FirefoxTypedUrls();
  items.Delete_FirefoxCookies();
  items.Delete_FirefoxCache();

  EXPECT_EQ(Remaining(profile),
            (std::set<std::string>{"bookmarks.html", "bookmarks.bak", "favicons.sqlite",
                                   "favicons.sqlite-wal", "prefs.js", "cache/sub/kept",
                                   "sub/deep.cache"}));
  EXPECT_EQ(ReadFile(profile / "bookmarks.html"), "bookmarks.html");
}

TEST_F(FirefoxTest, EachItemDeletesOnlyItsOwnFiles) {
  const fs::path profile = MakeProfile();
  const std::set<std::string> before = Remaining(profile);
  FirefoxHistory(Ports()).Delete_FirefoxCookies();
  std::set<std::string> expected = before;
  for (const char* gone : {"cookies.txt", "cookies.sqlite", "cookies.sqlite-wal"})
    expected.erase(gone);
  EXPECT_EQ(Remaining(profile), expected);

  // Without cookies.txt, cookies.sqlite still goes.
  WriteFile(profile / "cookies.sqlite", "again");
  FirefoxHistory(Ports()).Delete_FirefoxCookies();
  EXPECT_FALSE(fs::exists(profile / "cookies.sqlite"));
}

TEST_F(FirefoxTest, ADatabaseInUseKeepsItsJournalsAndTheOtherFileStillGoes) {
  const fs::path profile = MakeProfile();
  files_.in_use.insert((profile / "formhistory.sqlite").string());
  FirefoxHistory(Ports()).Delete_FirefoxHistory();
  EXPECT_FALSE(fs::exists(profile / "history.dat"));
  EXPECT_TRUE(fs::exists(profile / "formhistory.sqlite"));
  EXPECT_TRUE(fs::exists(profile / "formhistory.sqlite-journal"));
}

TEST_F(FirefoxTest, NoCacheFolderStillDeletesTheCacheFiles) {
  const fs::path profile = MakeProfile();
  fs::remove_all(profile / "cache");
  FirefoxHistory(Ports()).Delete_FirefoxCache();
  EXPECT_FALSE(fs::exists(profile / "XUL.cache"));
}

TEST_F(FirefoxTest, ACacheFolderThatIsALinkIsNotFollowed) {
  const fs::path profile = MakeProfile();
  fs::remove_all(profile / "cache");
  WriteFile(dir_ / "elsewhere" / "precious", "keep");
  std::error_code error;
  fs::create_directory_symlink(dir_ / "elsewhere", profile / "cache", error);
  if (error)
    GTEST_SKIP() << "no folder links here: " << error.message();
  FirefoxHistory(Ports()).Delete_FirefoxCache();
  EXPECT_EQ(ReadFile(dir_ / "elsewhere" / "precious"), "keep");
}

TEST_F(FirefoxTest, NothingIsDeletedWithoutAnApplicationDataFolder) {
  // The files a root-relative "\Mozilla\Firefox" would reach, relative to the current folder.
  WriteProfilesIni(dir_ / "mozilla" / "firefox", "p.default");
  WriteFile(dir_ / "mozilla" / "firefox" / "p.default" / "cookies.sqlite", "keep");
  const fs::path before = fs::current_path();
  fs::current_path(dir_.path());
  for (const std::string app_data : {"", "config", "mozilla/.."}) {
    registry_.PutString(kShellFoldersKey, "AppData", app_data);
    Firefox firefox(Ports());
    EXPECT_EQ(firefox.ProfileDir(), "") << app_data;
    firefox.Delete_Cookies();
    firefox.Delete_Cache();
  }
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(dir_ / "mozilla" / "firefox" / "p.default" / "cookies.sqlite"));
}

TEST_F(FirefoxTest, AProfileEntryLeadingOutOfTheFirefoxFolderIsRefused) {
  WriteFile(app_data_ / "cookies.sqlite", "trap above the Firefox folder");
  WriteFile(app_data_ / "settings.cache", "trap");
  for (const char* entry : {"../..", "..\\..", "Profiles/../../..", "a/../../.."}) {
    WriteProfilesIni(firefox_, entry);
    Firefox firefox(Ports());
    EXPECT_EQ(firefox.ProfileDir(), "") << entry;
    firefox.Delete_Cookies();
    firefox.Delete_Cache();
  }
  EXPECT_TRUE(fs::exists(app_data_ / "cookies.sqlite"));
  EXPECT_TRUE(fs::exists(app_data_ / "settings.cache"));
}

TEST_F(FirefoxTest, ABookmarksDeletionExistsButNoItemUsesIt) {
  const fs::path profile = MakeProfile();
  Firefox(Ports()).Delete_Bookmarks();
  EXPECT_FALSE(fs::exists(profile / "bookmarks.html"));
  EXPECT_FALSE(fs::exists(profile / "bookmarks.bak"));
}

}  // namespace
}  // namespace larkspur
