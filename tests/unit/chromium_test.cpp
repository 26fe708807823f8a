#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

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

class Status final : public StatusLine {
 public:
  void SetCaption(const std::string&) override {}
};

std::set<std::string> Remaining(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (!entry.is_directory())
      names.insert(fs::relative(entry.path(), folder).generic_string());
  return names;
}

// Chrome's profiles: two listed in Local State, one only a folder, one a guest's, one without
// Preferences; and Edge's, which only its own items clean.
TEST(Chromium, EveryProfileLosesExactlyItsTracesAndEdgeIsItsOwn) {
  testing::TempDir dir;
  testing::FakeRegistry registry;
#ifdef _WIN32
  registry.PutString(kShellFoldersKey, "Local AppData", Utf8FromPath(dir.path()));
  const fs::path chrome = (dir / "Google/Chrome/User Data").make_preferred();
  const fs::path edge = (dir / "Microsoft/Edge/User Data").make_preferred();
#else
  registry.PutString(kShellFoldersKey, "AppData", Utf8FromPath(dir / "config"));
  const fs::path chrome = dir / "config/google-chrome";
  const fs::path edge = dir / "config/microsoft-edge";
#endif
  const std::set<std::string> traces = {"History",
                                        "History-journal",
                                        "Visited Links",
                                        "Shortcuts-journal",
                                        "Cookies",
                                        "Network/Cookies",
                                        "Network/Cookies-journal",
                                        "Cache/Cache_Data/f_000001",
                                        "Code Cache/js/index",
                                        "GPUCache/data_0",
                                        "Sessions/Tabs_1",
                                        "Current Session"};
  const std::set<std::string> kept = {"Preferences",
                                      "Bookmarks",
                                      "Login Data",
                                      "Web Data",
                                      "Favicons",
                                      "Extensions/abc/manifest.json",
                                      "Network/Network Persistent State"};
  const auto make_profile = [&](const fs::path& profile) {
    for (const std::set<std::string>& names : {traces, kept})
      for (const std::string& name : names)
        testing::WriteFile(profile / name, name);
  };
  testing::WriteFile(chrome / "Local State",
                     R"({"profile":{"info_cache":{"Default":{},"Work":{},"Guest Profile":{}}}})");
  for (const char* name : {"Default", "Work", "Profile 1", "Guest Profile", "Profile 2"})
    make_profile(chrome / name);
  fs::remove(chrome / "Profile 2" / "Preferences");
  make_profile(edge / "Default");

  std::unique_ptr<ProfileFolders> profiles = testing::NativeProfileFolders(dir.str());
  std::unique_ptr<UserDataFolders> user_data = testing::NativeUserDataFolders();
  std::unique_ptr<FolderTree> folders = testing::NativeFolderTree(dir.str());
  Status status;
  RunRecord record(status);
  ChromiumHistory items(ChromiumPorts{registry, *profiles, *user_data, *folders, status, record,
                                      Utf8FromPath(dir / "home")});
  EXPECT_THAT(items.BrowsersFound(), ElementsAre("Google Chrome"));
  items.Delete_ChromeHistory();
  items.Delete_ChromeCache();
  items.Delete_ChromeCookies();
  items.Delete_ChromeTabs();
  EXPECT_EQ(items.TakeStayed(), "");
  for (const char* name : {"Default", "Work", "Profile 1"})
    EXPECT_EQ(Remaining(chrome / name), kept) << name;
  EXPECT_TRUE(fs::is_directory(chrome / "Default" / "Cache"));
  EXPECT_EQ(record.Total().erased_items, 3 * traces.size());
  EXPECT_EQ(Remaining(chrome / "Guest Profile").size(), traces.size() + kept.size());
  EXPECT_EQ(Remaining(chrome / "Profile 2").size(), traces.size() + kept.size() - 1);
  EXPECT_EQ(Remaining(edge / "Default").size(), traces.size() + kept.size());
  items.Delete_EdgeHistory();
  EXPECT_FALSE(fs::exists(edge / "Default" / "History-journal"));
  EXPECT_TRUE(fs::exists(edge / "Default" / "Network" / "Cookies"));
}

TEST(Chromium, ProfileNamesFromLocalStateThenTheUsualFoldersEachOnce) {
  EXPECT_THAT(ProfileNames(R"({"profile":{"info_cache":{"Work":{},"Default":{},"../up":{},)"
                           R"("a\\b":{},"System Profile":{},"":{}}}})",
                           {"Profile 10", "Default", "Profile x", "Profile 2", "Cache"}),
              ElementsAre("Default", "Work", "Profile 10", "Profile 2"));
  EXPECT_THAT(ProfileNames("{not json", {"Default", "Guest Profile"}), ElementsAre("Default"));
  EXPECT_THAT(ProfileNames(R"({"profile":{"info_cache":["Default"]}})", {}), ElementsAre());
}

}  // namespace
}  // namespace larkspur
