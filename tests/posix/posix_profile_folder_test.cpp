#include "platform/posix/posix_profile_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::WriteFile;

class PosixProfileFolderTest : public ::testing::Test {
 protected:
  PosixProfileFolderTest() {
    WriteFile(home_ / "prefs.js", "the home folder looks like a profile");
    WriteFile(firefox_ / "p.default" / "prefs.js", "");
  }

  std::unique_ptr<ProfileFolder> Open(const std::string& entry, bool relative = true) {
    return folders_.Open(firefox_.string(), entry, relative);
  }

  testing::TempDir dir_;
  fs::path home_ = dir_ / "home";
  fs::path firefox_ = home_ / ".mozilla" / "firefox";
  PosixProfileFolders folders_{{home_.string()}};
};

TEST_F(PosixProfileFolderTest, ALinkOnTheWayIsRefusedHoweverItIsSpelt) {
  fs::create_directory_symlink(home_, firefox_ / "homelink");
  fs::create_directory_symlink(firefox_ / "p.default", firefox_ / "profilelink");
  for (const char* entry :
       {"homelink", "homelink/.", "homelink/./", "profilelink", "profilelink/."})
    EXPECT_EQ(Open(entry), nullptr) << entry;
  EXPECT_EQ(Open((firefox_ / "profilelink").string(), false), nullptr);
  EXPECT_EQ(Open((firefox_ / "profilelink" / ".").string(), false), nullptr);

  const auto profile = Open("./p.default/");
  ASSERT_NE(profile, nullptr);
  EXPECT_EQ(profile->Path(), (firefox_ / "p.default").string());
  EXPECT_EQ(profile->Name(), "p.default");
  EXPECT_EQ(profile->Identity(), Open((firefox_ / "p.default").string(), false)->Identity());
}

TEST_F(PosixProfileFolderTest, TheHomeFolderIsRefusedAsOpenedEvenThroughALinkedFirefoxFolder) {
  // The Firefox folder itself may be a link; one to home, with Path=., reaches home.
  fs::create_directory_symlink(home_, dir_ / "firefox-link");
  EXPECT_EQ(folders_.Open((dir_ / "firefox-link").string(), ".", true), nullptr);
  EXPECT_EQ(folders_.Open((dir_ / "firefox-link").string(), "", true), nullptr);
  EXPECT_EQ(Open(home_.string(), false), nullptr);
  WriteFile(dir_ / "prefs.js", "");
  EXPECT_EQ(Open(dir_.str(), false), nullptr) << "above home";
  EXPECT_EQ(Open("/", false), nullptr);
  EXPECT_EQ(Open("relative/path", false), nullptr);
  EXPECT_NE(folders_.Open((dir_ / "firefox-link").string(), ".mozilla/firefox/p.default", true),
            nullptr)
      << "a linked Firefox folder is the user's choice";
}

TEST_F(PosixProfileFolderTest, AHeldParentLockOrALiveLockLinkMeansFirefoxRuns) {
  const auto profile = Open("p.default");
  ASSERT_NE(profile, nullptr);
  const fs::path parentlock = firefox_ / "p.default" / ".parentlock";
  WriteFile(parentlock, "");
  EXPECT_FALSE(profile->InUse()) << "a lock file left behind is no running Firefox";

  // An open-file-description lock is another owner even within this process, as Firefox is.
  const int fd = ::open(parentlock.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &lock), 0);
  EXPECT_TRUE(profile->InUse());
  ::close(fd);
  EXPECT_FALSE(profile->InUse());

  fs::create_symlink("127.0.0.1:+" + std::to_string(::getpid()), firefox_ / "p.default" / "lock");
  EXPECT_TRUE(profile->InUse());
  fs::remove(firefox_ / "p.default" / "lock");
  fs::create_symlink("127.0.0.1:+999999999", firefox_ / "p.default" / "lock");
  EXPECT_FALSE(profile->InUse()) << "a stale link names no process";
}

}  // namespace
}  // namespace larkspur
