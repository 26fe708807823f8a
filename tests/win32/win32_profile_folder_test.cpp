#include "platform/win32/win32_profile_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::WriteFile;

class Win32ProfileFolderTest : public ::testing::Test {
 protected:
  Win32ProfileFolderTest() {
    WriteFile(home_ / "prefs.js", "the home folder looks like a profile");
    WriteFile(firefox_ / "Profiles" / "p.default" / "prefs.js", "");
  }

  testing::TempDir dir_;
  fs::path home_ = dir_ / "home";
  fs::path firefox_ = home_ / "AppData" / "Roaming" / "Mozilla" / "Firefox";
  Win32ProfileFolders folders_{home_.string()};
};

TEST_F(Win32ProfileFolderTest, ParentLockHeldWithoutSharingMeansFirefoxRuns) {
  const auto profile = folders_.Open(firefox_.string(), "Profiles/p.default", true);
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(profile->Name(), "p.default");
  const fs::path lock = firefox_ / "Profiles" / "p.default" / "parent.lock";
  WriteFile(lock, "");
  EXPECT_FALSE(profile->InUse()) << "a lock file left behind is no running Firefox";
  const HANDLE held = ::CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(profile->InUse());
  ::CloseHandle(held);
  EXPECT_FALSE(profile->InUse());
}

TEST_F(Win32ProfileFolderTest, TheHomeFolderARootAndAboveAreNoProfile) {
  EXPECT_EQ(folders_.Open(firefox_.string(), "../../../..", true), nullptr);
  EXPECT_EQ(folders_.Open("", home_.string(), false), nullptr);
  WriteFile(dir_ / "prefs.js", "");
  EXPECT_EQ(folders_.Open("", dir_.str(), false), nullptr);
  EXPECT_EQ(folders_.Open("", "C:\\", false), nullptr);
  const auto absolute = folders_.Open("", (firefox_ / "Profiles" / "p.default").string(), false);
  ASSERT_NE(absolute, nullptr);
  EXPECT_EQ(absolute->Identity(),
            folders_.Open(firefox_.string(), "Profiles\\p.default", true)->Identity());
}

}  // namespace
}  // namespace larkspur
