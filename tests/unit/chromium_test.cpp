#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "chromium/chromium_history.h"
#include "chromium/profile_names.h"
#include "fakes/fake_registry.h"
#include "platform/path_text.h"
#include "support/native_ports.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::WriteFile;

class Status final : public StatusLine {
 public:
  void SetCaption(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

// The system's own folders, and a browser that runs when the test says so.
class UserData final : public UserDataFolders {
 public:
  std::string LocalState(const std::string& folder) override { return real->LocalState(folder); }
  std::vector<std::string> Subfolders(const std::string& folder) override {
    return real->Subfolders(folder);
  }
  bool Running(const std::string& folder, bool) override { return running.contains(folder); }

  std::unique_ptr<UserDataFolders> real = testing::NativeUserDataFolders();
  std::set<std::string> running;
};

// Every file a profile's items know, and those they must leave alone.
const char* const kTraces[] = {"History",
                               "History-journal",
                               "Visited Links",
                               "Top Sites",
                               "Shortcuts-journal",
                               "Cookies",
                               "Network/Cookies",
                               "Network/Cookies-journal",
                               "Cache/Cache_Data/f_000001",
                               "Code Cache/js/index",
                               "GPUCache/data_0",
                               "Sessions/Tabs_1",
                               "Sessions_Encrypted/Session_1",
                               "Current Session"};
const char* const kKept[] = {"Preferences",
                             "Secure Preferences",
                             "Bookmarks",
                             "Login Data",
                             "Web Data",
                             "Favicons",
                             "Extensions/abc/manifest.json",
                             "Network/Network Persistent State",
                             "Local Storage/leveldb/LOG"};

class ChromiumTest : public ::testing::Test {
 protected:
  ChromiumTest() {
#ifdef _WIN32
    registry_.PutString(kShellFoldersKey, "Local AppData", Utf8FromPath(dir_.path()));
    chrome_ = (dir_ / "Google/Chrome/User Data").make_preferred();
    edge_ = (dir_ / "Microsoft/Edge/User Data").make_preferred();
#else
    registry_.PutString(kShellFoldersKey, "AppData", Utf8FromPath(dir_ / "config"));
    registry_.PutString(kShellFoldersKey, "Local AppData", Utf8FromPath(dir_ / "cache"));
    chrome_ = dir_ / "config/google-chrome";
    edge_ = dir_ / "config/microsoft-edge";
#endif
  }

  void MakeProfile(const fs::path& profile) {
    for (const char* name : kTraces)
      WriteFile(profile / name, name);
    for (const char* name : kKept)
      WriteFile(profile / name, name);
  }

  std::set<std::string> Remaining(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (!entry.is_directory())
        names.insert(fs::relative(entry.path(), folder).generic_string());
    return names;
  }

  void CleanChrome() {
    items_.Delete_ChromeHistory();
    items_.Delete_ChromeCache();
    items_.Delete_ChromeCookies();
    items_.Delete_ChromeTabs();
  }

  testing::TempDir dir_;
  fs::path chrome_;
  fs::path edge_;
  testing::FakeRegistry registry_;
  std::unique_ptr<ProfileFolders> profiles_ = testing::NativeProfileFolders(dir_.str());
  std::unique_ptr<FolderTree> folders_ = testing::NativeFolderTree(dir_.str());
  UserData user_data_;
  Status status_;
  RunRecord record_{status_};
  ChromiumHistory items_{ChromiumPorts{registry_, *profiles_, user_data_, *folders_, status_,
                                       record_, Utf8FromPath(dir_ / "home")}};
};

TEST_F(ChromiumTest, EveryProfileLosesExactlyItsTracesAndEdgeIsItsOwn) {
  WriteFile(chrome_ / "Local State",
            R"({"profile":{"info_cache":{"Default":{},"Work":{},"Guest Profile":{}}}})");
  for (const char* name : {"Default", "Work", "Profile 1", "Guest Profile"})
    MakeProfile(chrome_ / name);
  fs::remove(chrome_ / "Profile 1" / "Preferences");  // not a profile without it
  MakeProfile(edge_ / "Default");
  EXPECT_THAT(items_.BrowsersFound(), ElementsAre("Google Chrome"));

  CleanChrome();
  EXPECT_EQ(items_.TakeStayed(), "");
  std::set<std::string> kept(std::begin(kKept), std::end(kKept));
  EXPECT_EQ(Remaining(chrome_ / "Default"), kept);
  EXPECT_EQ(Remaining(chrome_ / "Work"), kept);
  EXPECT_TRUE(fs::is_directory(chrome_ / "Default" / "Cache"));
  EXPECT_EQ(record_.Total().erased_items, 2 * std::size(kTraces));
  EXPECT_EQ(Remaining(chrome_ / "Profile 1").size(), std::size(kTraces) + std::size(kKept) - 1);
  EXPECT_EQ(Remaining(chrome_ / "Guest Profile").size(), std::size(kTraces) + std::size(kKept));
  EXPECT_EQ(Remaining(edge_ / "Default").size(), std::size(kTraces) + std::size(kKept));

  items_.Delete_EdgeHistory();
  items_.Delete_EdgeCookies();
  EXPECT_TRUE(fs::exists(edge_ / "Default" / "Sessions" / "Tabs_1"));
  EXPECT_FALSE(fs::exists(edge_ / "Default" / "Network" / "Cookies"));
  EXPECT_FALSE(fs::exists(edge_ / "Default" / "History-journal"));
}

#ifndef _WIN32
TEST_F(ChromiumTest, TheDiskCacheFolderLosesOnlyItsCaches) {
  MakeProfile(chrome_ / "Default");
  const fs::path cache = dir_ / "cache/google-chrome/Default";
  WriteFile(cache / "Cache/Cache_Data/f_000002", "cached");
  WriteFile(cache / "Bookmarks", "not a cache");
  items_.Delete_ChromeCache();
  EXPECT_EQ(Remaining(cache), std::set<std::string>{"Bookmarks"});
  EXPECT_TRUE(fs::is_directory(cache / "Cache"));
}
#endif

TEST_F(ChromiumTest, ARunningBrowserKeepsAllButItsCacheAndTheUserIsTold) {
  MakeProfile(chrome_ / "Default");
  MakeProfile(chrome_ / "Profile 2");
  user_data_.running.insert(Utf8FromPath(chrome_));

  CleanChrome();
  EXPECT_EQ(items_.TakeStayed(),
            "Chrome is running: close it to clear its history, cookies and open tabs.");
  EXPECT_EQ(items_.TakeStayed(), "");
  EXPECT_THAT(status_.texts,
              ::testing::Contains("Chrome is running: close it to clear its history."));
  EXPECT_EQ(record_.Total().StayedCount(), 6u);  // three items, two profiles
  EXPECT_TRUE(fs::exists(chrome_ / "Default" / "History"));
  EXPECT_TRUE(fs::exists(chrome_ / "Default" / "Sessions" / "Tabs_1"));
  EXPECT_FALSE(fs::exists(chrome_ / "Profile 2" / "GPUCache" / "data_0"));

  items_.Delete_ChromeCookies();
  EXPECT_EQ(items_.TakeStayed(), "Chrome is running: close it to clear its cookies.");
}

TEST(ChromiumProfileNames, LocalStateFirstThenTheUsualFoldersEachOnce) {
  EXPECT_THAT(ProfileNames(R"({"profile":{"info_cache":{"Work":{},"Default":{},"../up":{},)"
                           R"("a\\b":{},"System Profile":{},"":{}}}})",
                           {"Profile 10", "Default", "Profile x", "Profile 2", "Cache"}),
              ElementsAre("Default", "Work", "Profile 10", "Profile 2"));
  EXPECT_THAT(ProfileNames("{not json", {"Default", "Guest Profile"}), ElementsAre("Default"));
  EXPECT_THAT(ProfileNames(R"({"profile":{"info_cache":["Default"]}})", {}), ElementsAre());
}

}  // namespace
}  // namespace larkspur
