#include "platform/win32/win32_profile_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "win32/opens_while_probing.h"

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

// Firefox holds parent.lock without sharing while it runs. Its stand-in: a process of its name,
// never started, that inherited such a handle.
TEST_F(Win32ProfileFolderTest, ARunningFirefoxIsFoundWithoutEverBlockingItsLock) {
  const auto profile = folders_.Open(firefox_.string(), "Profiles/p.default", true);
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(profile->Name(), "p.default");
  const fs::path lock = firefox_ / "Profiles" / "p.default" / "parent.lock";
  WriteFile(lock, "");
  EXPECT_FALSE(profile->InUse()) << "a lock file left behind is no running Firefox";
  // A Firefox starting meanwhile opens it without sharing, and that must never fail.
  EXPECT_EQ(testing::FailedOpensWhileProbing(lock, 0, [&] { profile->InUse(); }), 0);

  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  const HANDLE held = ::CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, &inherited,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  wchar_t self[MAX_PATH] = L"";
  ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  fs::copy_file(self, dir_ / "firefox.exe");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION firefox{};
  ASSERT_TRUE(::CreateProcessW((dir_ / "firefox.exe").c_str(), nullptr, nullptr, nullptr, TRUE,
                               CREATE_SUSPENDED, nullptr, nullptr, &startup, &firefox));
  ::CloseHandle(held);
  EXPECT_TRUE(profile->InUse());
  ::TerminateProcess(firefox.hProcess, 0);
  ::WaitForSingleObject(firefox.hProcess, INFINITE);
  ::CloseHandle(firefox.hThread);
  ::CloseHandle(firefox.hProcess);
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
