// SweepFolder on real Linux folders: links, roots, very deep and very wide trees.
#include "cleanup/folder_sweep.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/controls.h"
#include "platform/posix/posix_folder_tree.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::TempDir;
using testing::WriteFile;

// Every text the status line was given, in order.
struct RecordingStatus final : StatusLine {
  void SetCaption(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

class PosixSweep : public ::testing::Test {
 protected:
  PosixSweep() : tree_((dir_ / "home").string()) { fs::create_directories(dir_ / "home"); }

  void Sweep(const fs::path& folder) { SweepFolder(tree_, record_, folder.string()); }

  static std::vector<std::string> Entries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir dir_;
  PosixFolderTree tree_;
  RecordingStatus status_;
  RunRecord record_{status_};
};

TEST_F(PosixSweep, EmptiesTheTreeAndKeepsTheFolder) {
  const fs::path cache = dir_ / "INetCache";
  WriteFile(cache / "one.htm", "1");
  WriteFile(cache / "two.png", "2");
  fs::create_directories(cache / "empty");
  WriteFile(cache / "Content.IE5" / "X1" / "deep.js", "3");
  fs::permissions(cache / "two.png", fs::perms::owner_read);
  fs::permissions(cache, fs::perms::owner_read | fs::perms::owner_exec);

  Sweep(cache);

  EXPECT_TRUE(fs::is_directory(cache));
  EXPECT_TRUE(Entries(cache).empty());
  EXPECT_EQ(status_.texts.size(), 3u);
  EXPECT_EQ(status_.texts.back().rfind("-->" + cache.string() + "/", 0), 0u);
  // Made writable for the sweep only.
  EXPECT_EQ(fs::status(cache).permissions(), fs::perms::owner_read | fs::perms::owner_exec);
}

TEST_F(PosixSweep, WithAndWithoutTrailingSeparatorAlike) {
  WriteFile(dir_ / "a" / "f", "x");
  WriteFile(dir_ / "b" / "f", "x");
  Sweep(dir_ / "a");
  SweepFolder(tree_, record_, (dir_ / "b").string() + "/");
  EXPECT_THAT(status_.texts, ElementsAre("-->" + (dir_ / "a" / "f").string(),
                                         "-->" + (dir_ / "b" / "f").string()));
}

TEST_F(PosixSweep, HiddenFilesStayWithTheirFolders) {
  const fs::path cache = dir_ / "cache";
  WriteFile(cache / "sub" / ".hidden", "h");
  WriteFile(cache / "sub" / "plain", "p");
  Sweep(cache);
  EXPECT_THAT(Entries(cache / "sub"), ElementsAre(".hidden"));
}

TEST_F(PosixSweep, LinksAreRemovedButNeverFollowed) {
  const fs::path outside = dir_ / "outside";
  WriteFile(outside / "precious.txt", "keep me");
  WriteFile(outside / "folder" / "also-precious.txt", "keep me too");
  const fs::path cache = dir_ / "cache";
  fs::create_directories(cache / "sub");
  fs::create_symlink(outside / "folder", cache / "link-to-folder");
  fs::create_symlink(outside / "precious.txt", cache / "sub" / "link-to-file");
  fs::create_symlink(outside, cache / "sub" / "link-up");

  Sweep(cache);

  EXPECT_TRUE(Entries(cache).empty());
  EXPECT_EQ(testing::ReadFile(outside / "precious.txt"), "keep me");
  EXPECT_EQ(testing::ReadFile(outside / "folder" / "also-precious.txt"), "keep me too");
}

TEST_F(PosixSweep, AFolderGivenAsALinkIsNotSwept) {
  WriteFile(dir_ / "real" / "file", "x");
  fs::create_directory_symlink(dir_ / "real", dir_ / "link");
  Sweep(dir_ / "link");
  Sweep(dir_ / "link/");
  EXPECT_TRUE(fs::exists(dir_ / "real" / "file"));
}

TEST_F(PosixSweep, NeverOpensARootTheHomeFolderOrAFolderAboveIt) {
  // Only asked whether it would open them: a failure here must not sweep anything real.
  EXPECT_EQ(tree_.Open("/"), nullptr);
  EXPECT_EQ(tree_.Open("//"), nullptr);
  EXPECT_EQ(tree_.Open((dir_ / "home").string()), nullptr);
  EXPECT_EQ(tree_.Open((dir_ / "home").string() + "/"), nullptr);
  EXPECT_EQ(tree_.Open(dir_.str()), nullptr);
  EXPECT_EQ(tree_.Open((dir_ / "home" / ".." / "home").string()), nullptr);
  EXPECT_EQ(tree_.Open("relative"), nullptr);
  EXPECT_EQ(tree_.Open(""), nullptr);
  fs::create_directories(dir_ / "home" / "History");
  EXPECT_NE(tree_.Open((dir_ / "home" / "History").string()), nullptr);
}

TEST_F(PosixSweep, MoreEntriesThanASixteenBitListingHolds) {
  const fs::path cache = dir_ / "cache";
  fs::create_directories(cache);
  constexpr int kFiles = 33000;
  for (int i = 0; i < kFiles; ++i) {
    const int fd = ::open((cache / ("f" + std::to_string(i))).c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
  }
  Sweep(cache);
  EXPECT_TRUE(Entries(cache).empty());
  EXPECT_EQ(status_.texts.size(), static_cast<std::size_t>(kFiles));
}

// Builds a chain of nested folders with descriptors, since its path is far longer than a path
// may be; returns the number of levels made.
int MakeChain(const fs::path& top, int depth) {
  int fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
  int made = 0;
  for (; made < depth && fd >= 0; ++made) {
    if (::mkdirat(fd, "d", 0755) != 0)
      break;
    const int file = ::openat(fd, "f", O_CREAT | O_WRONLY, 0644);
    if (file >= 0)
      ::close(file);
    const int child = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = child;
  }
  if (fd >= 0)
    ::close(fd);
  return made;
}

TEST_F(PosixSweep, SurvivesATenThousandFoldersDeepTree) {
  const fs::path top = dir_ / "History";
  fs::create_directories(top);
  ASSERT_EQ(MakeChain(top, 10000), 10000);
  Sweep(top);
  EXPECT_TRUE(Entries(top).empty());
  EXPECT_EQ(status_.texts.size(), 10000u);
}

TEST_F(PosixSweep, StopsWhenTheWayBackLeadsSomewhereElse) {
  const fs::path top = dir_ / "top";
  fs::create_directories(top);
  const int depth = 200;  // deep enough that the walk climbs back through ".."
  ASSERT_EQ(MakeChain(top, depth), depth);
  fs::create_directories(dir_ / "elsewhere");
  WriteFile(dir_ / "elsewhere" / "bystander", "must stay");

  auto cursor = tree_.Open(top.string());
  ASSERT_NE(cursor, nullptr);
  std::string relative;
  for (int level = 0; level < depth; ++level) {
    ASSERT_TRUE(cursor->Enter("d"));
    relative += "d/";
  }
  // Move the folder the cursor stands in: ".." now leads to "elsewhere".
  const int top_fd = ::open(top.c_str(), O_RDONLY | O_DIRECTORY);
  const std::string from = relative.substr(0, relative.size() - 1);
  ASSERT_EQ(::renameat(top_fd, from.c_str(), AT_FDCWD, (dir_ / "elsewhere" / "moved").c_str()), 0);
  ::close(top_fd);

  EXPECT_FALSE(cursor->Leave());
  EXPECT_FALSE(cursor->DeleteFile("bystander").WasRemoved());
  EXPECT_TRUE(fs::exists(dir_ / "elsewhere" / "bystander"));
}

}  // namespace
}  // namespace larkspur
