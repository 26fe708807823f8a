// What a sweep on Linux must never reach, whatever is mounted, linked or swapped meanwhile:
// other mounts inside its folder, the home folder through a link in the path, the account's
// home folder when HOME says otherwise.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cleanup/folder_sweep.h"
#include "platform/posix/folder_identity.h"
#include "platform/posix/posix_folder_tree.h"
#include "support/temp_dir.h"
#include "support/tree_snapshot.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::TreeSnapshot;
using testing::WriteFile;

struct CountingStatus final : StatusLine {
  void SetCaption(const std::string&) override { ++lines; }
  int lines = 0;
};

class FolderTreeSafety : public ::testing::Test {
 protected:
  FolderTreeSafety() {
    WriteFile(home_ / "Documents" / "letter.txt", "dear");
    WriteFile(home_ / "Documents" / "sub" / "thesis.tex", "chapter 1");
    WriteFile(cache_ / "Content.IE5" / "a.htm", "a");
  }

  // Mounts made in a mount namespace of this test process alone, gone when it ends.
  bool EnterPrivateMountNamespace() {
    return ::unshare(CLONE_NEWNS) == 0 &&
           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
  }

  void Sweep(const fs::path& folder) { SweepFolder(tree_, record_, folder.string()); }

  TempDir dir_;
  fs::path home_ = dir_ / "home";
  fs::path cache_ = dir_ / "INetCache";
  PosixFolderTree tree_{home_.string()};
  CountingStatus status_;
  RunRecord record_{status_};
};

TEST_F(FolderTreeSafety, MountsInsideTheFolderAreNeitherEnteredNorRemoved) {
  if (!EnterPrivateMountNamespace())
    GTEST_SKIP() << "no private mount namespace here (needs root): " << std::strerror(errno);
  // A bind mount of the same file system has the same device: only the mount ID tells.
  fs::create_directories(cache_ / "docs");
  ASSERT_EQ(
      ::mount((home_ / "Documents").c_str(), (cache_ / "docs").c_str(), nullptr, MS_BIND, nullptr),
      0);
  fs::create_directories(cache_ / "deep" / "tmp");
  ASSERT_EQ(::mount("tmpfs", (cache_ / "deep" / "tmp").c_str(), "tmpfs", 0, "size=1m"), 0);
  WriteFile(cache_ / "deep" / "tmp" / "on-tmpfs", "t");
  const auto before = TreeSnapshot(dir_.path(), cache_);

  Sweep(cache_);

  EXPECT_EQ(TreeSnapshot(dir_.path(), cache_), before);
  EXPECT_EQ(testing::ReadFile(cache_ / "docs" / "letter.txt"), "dear");
  EXPECT_EQ(testing::ReadFile(cache_ / "deep" / "tmp" / "on-tmpfs"), "t");
  EXPECT_FALSE(fs::exists(cache_ / "Content.IE5"));
  EXPECT_EQ(status_.lines, 1);
  // What the mounts hold stays, and is said: each mount counts as one thing refused.
  EXPECT_EQ(record_.Total().stayed[static_cast<std::size_t>(StayReason::kRefused)], 2u);
  // A mount point is no folder to start from either.
  EXPECT_EQ(tree_.Open((cache_ / "docs").string()), nullptr);
  EXPECT_EQ(tree_.Open((cache_ / "deep" / "tmp").string()), nullptr);
  ::umount2((cache_ / "docs").c_str(), MNT_DETACH);
  ::umount2((cache_ / "deep" / "tmp").c_str(), MNT_DETACH);
}

// A file with something mounted on it cannot be unlinked (EBUSY): it stays, counted as in use,
// and a preview says so beforehand.
TEST_F(FolderTreeSafety, AFileThatCannotGoIsCountedAsInUseAndItsBytesAreNot) {
  if (!EnterPrivateMountNamespace())
    GTEST_SKIP() << "no private mount namespace here (needs root): " << std::strerror(errno);
  WriteFile(cache_ / "held", "held bytes");
  ASSERT_EQ(::mount((home_ / "Documents" / "letter.txt").c_str(), (cache_ / "held").c_str(),
                    nullptr, MS_BIND, nullptr),
            0);

  struct stat a_htm {};
  ASSERT_EQ(::stat((cache_ / "Content.IE5" / "a.htm").c_str(), &a_htm), 0);

  Sweep(cache_);

  EXPECT_TRUE(fs::exists(cache_ / "held"));
  EXPECT_FALSE(fs::exists(cache_ / "Content.IE5"));
  EXPECT_EQ(record_.Total().erased_items, 1u);
  EXPECT_EQ(record_.Total().erased_bytes, static_cast<std::uint64_t>(a_htm.st_blocks) * 512)
      << "a.htm alone";
  EXPECT_EQ(record_.Total().stayed[static_cast<std::size_t>(StayReason::kInUse)], 1u);
  ::umount2((cache_ / "held").c_str(), MNT_DETACH);
}

TEST_F(FolderTreeSafety, ALinkInThePathSwappedMeanwhileNeverLeadsIntoTheHomeFolder) {
  // "swap/home" is either a decoy or, when "swap" links to the test folder, the home folder.
  fs::create_directories(dir_ / "swap" / "home");
  fs::create_directory_symlink(dir_.path(), dir_ / "link");
  const auto before = TreeSnapshot(home_);

  const pid_t swapper = ::fork();
  ASSERT_GE(swapper, 0);
  if (swapper == 0) {
    // Exchanges the link and the real folder until killed.
    for (;;)
      ::renameat2(AT_FDCWD, (dir_ / "swap").c_str(), AT_FDCWD, (dir_ / "link").c_str(),
                  RENAME_EXCHANGE);
  }
  // Bounded by time, not timed: each sweep must hold whatever moment the swap falls on.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int sweeps = 0;
  while (std::chrono::steady_clock::now() < end) {
    Sweep(dir_ / "swap" / "home");
    ++sweeps;
  }
  ::kill(swapper, SIGKILL);
  ::waitpid(swapper, nullptr, 0);

  EXPECT_EQ(TreeSnapshot(home_), before) << "after " << sweeps << " sweeps";
}

TEST_F(FolderTreeSafety, TheAccountsHomeFolderIsProtectedWhateverHomeSays) {
  // Asked only whether it would open them: a failure here must not sweep anything real.
  const std::string account_home = AccountHomeFolder();
  ASSERT_FALSE(account_home.empty());
  for (const std::string& home : {std::string(), std::string("relative/home"), home_.string()}) {
    SCOPED_TRACE("HOME=" + home);
    PosixFolderTree tree(home);
    EXPECT_EQ(tree.Open(account_home), nullptr);
    EXPECT_EQ(tree.Open(fs::path(account_home).parent_path().string()), nullptr);
    fs::create_directories(dir_ / "History");
    EXPECT_NE(tree.Open((dir_ / "History").string()), nullptr);
  }
}

TEST_F(FolderTreeSafety, TheHomeFolderReachedThroughALinkIsStillTheHomeFolder) {
  fs::create_directory_symlink(home_, dir_ / "homelink");
  fs::create_directory_symlink(dir_.path(), dir_ / "up");
  const auto before = TreeSnapshot(home_);
  for (const fs::path& path : {dir_ / "homelink" / ".", dir_ / "up" / "home",
                               dir_ / "up" / "up" / "home" / "Documents" / ".."}) {
    SCOPED_TRACE(path.string());
    EXPECT_EQ(tree_.Open(path.string()), nullptr);
    Sweep(path);
  }
  EXPECT_EQ(TreeSnapshot(home_), before);
  // Below the home folder is allowed, however it is reached.
  EXPECT_NE(tree_.Open((dir_ / "homelink" / "Documents").string()), nullptr);
}

}  // namespace
}  // namespace larkspur
