// Pattern deletion in a real profile folder under Wine: Windows' own matching, folders left
// alone, links not followed.
#include "platform/win32/win32_file_patterns.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/path_text.h"
#include "platform/win32/win32_folder_tree.h"
#include "support/temp_dir.h"
#include "win32/unix_links.h"

namespace larkspur {

namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::WriteFile;

class Win32Patterns : public ::testing::Test {
 protected:
  ~Win32Patterns() override {
    for (const fs::path& link : links_)
      testing::RemoveLink(link);
  }

  bool Link(const fs::path& target, const fs::path& link) {
    links_.push_back(link);
    return testing::MakeLink(target, link);
  }
  // True when something matched and all of it went.
  static bool DeleteMatching(const std::string& path_pattern) {
    Win32FolderTree tree{std::string()};
    const std::vector<NamedRemoval> removals = win32::DeleteMatches(tree, path_pattern);
    return !removals.empty() &&
           std::ranges::all_of(removals, &Removal::Gone, &NamedRemoval::removal);
  }
  static bool Delete(const fs::path& folder, const std::string& pattern) {
    return DeleteMatching(Utf8FromPath(folder) + "\\" + pattern);
  }

  TempDir dir_;
  const fs::path profile_ = dir_ / "profile";
  Win32FilePatterns files_;
  std::vector<fs::path> links_;
};

TEST_F(Win32Patterns, DeletesExactlyTheMatches) {
  for (const char* name : {"places.sqlite", "places.sqlite-wal", "a.cache", "B.CACHE",
                           "c.cache.bak", "cache/noext", "cache/x.bin", "dir.cache/inner.cache"})
    WriteFile(profile_ / name, "x");

  EXPECT_TRUE(Delete(profile_, "*.cache"));
  EXPECT_TRUE(Delete(profile_, "places.sqlite"));
  EXPECT_TRUE(Delete(profile_ / "cache", "*.*"));  // names without a dot too
  EXPECT_FALSE(Delete(profile_, "*.cache"));       // nothing left to match

  EXPECT_FALSE(fs::exists(profile_ / "a.cache"));
  EXPECT_FALSE(fs::exists(profile_ / "B.CACHE"));
  EXPECT_FALSE(fs::exists(profile_ / "places.sqlite"));
  EXPECT_TRUE(fs::is_empty(profile_ / "cache"));
  EXPECT_TRUE(fs::exists(profile_ / "places.sqlite-wal"));
  EXPECT_TRUE(fs::exists(profile_ / "c.cache.bak"));
  EXPECT_TRUE(fs::exists(profile_ / "dir.cache" / "inner.cache"));
}

TEST_F(Win32Patterns, FalseWhenAMatchStaysOrNothingCanMatch) {
  WriteFile(profile_ / "locked.cache", "x");
  WriteFile(profile_ / "free.cache", "x");
  ASSERT_TRUE(::SetFileAttributesW((profile_ / "locked.cache").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(Delete(profile_, "*.cache"));
  EXPECT_TRUE(fs::exists(profile_ / "locked.cache"));
  EXPECT_FALSE(fs::exists(profile_ / "free.cache"));
  ::SetFileAttributesW((profile_ / "locked.cache").c_str(), FILE_ATTRIBUTE_NORMAL);  // for clean-up

  for (const std::string& pattern :
       {Utf8FromPath(dir_ / "missing") + "\\*.*", std::string("profile\\*.*"), std::string("*.*"),
        Utf8FromPath(profile_) + "\\", std::string("C:\\larkspur-no-such-*.tmp")})
    EXPECT_FALSE(DeleteMatching(pattern)) << pattern;

  const fs::path cyrillic = profile_ / L"\u043a\u0443\u043a\u0438.sqlite";
  WriteFile(cyrillic, "x");
  EXPECT_TRUE(DeleteMatching(Utf8FromPath(cyrillic)));
  EXPECT_FALSE(fs::exists(cyrillic));
}

TEST_F(Win32Patterns, LinksAreNotFollowed) {
  const fs::path outside = dir_ / "outside";
  WriteFile(outside / "places.sqlite", "keep");
  WriteFile(outside / "cookies.sqlite", "keep");
  WriteFile(profile_ / "plain.cache", "x");
  if (!Link(outside, profile_ / "linked") ||
      !Link(outside / "cookies.sqlite", profile_ / "cookies.sqlite"))
    GTEST_SKIP() << "cannot make links here";

  EXPECT_FALSE(Delete(profile_ / "linked", "*.*"));
  EXPECT_FALSE(Delete(profile_ / "linked", "places.sqlite"));
  Delete(profile_, "cookies.sqlite");
  Delete(profile_, "*.*");

  EXPECT_FALSE(fs::exists(profile_ / "plain.cache"));
  EXPECT_EQ(testing::ReadFile(outside / "places.sqlite"), "keep");
  EXPECT_EQ(testing::ReadFile(outside / "cookies.sqlite"), "keep");
}

TEST_F(Win32Patterns, ExistsAndIsFolder) {
  const fs::path file = profile_ / L"\u65e5\u672c.sqlite";
  WriteFile(file, "x");
  EXPECT_TRUE(files_.Exists(Utf8FromPath(file)));
  EXPECT_TRUE(files_.Exists(Utf8FromPath(profile_)));
  EXPECT_FALSE(files_.Exists(Utf8FromPath(profile_ / "missing")));
  EXPECT_FALSE(files_.Exists(Utf8FromPath(profile_ / "*")));
  EXPECT_TRUE(files_.IsFolder(Utf8FromPath(profile_) + "\\"));
  EXPECT_FALSE(files_.IsFolder(Utf8FromPath(file)));
  EXPECT_FALSE(files_.IsFolder(Utf8FromPath(profile_ / "missing")));
}

}  // namespace
}  // namespace larkspur
