// The Linux stand-ins' own promises, beyond the port contracts: their files are only ever changed
// where asked, a damaged file is left alone, and local-file deletion never reaches further than
// the one file or link named.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/posix_folder_tree.h"
#include "platform/posix/text_url_history.h"
#include "platform/posix/tsv_url_cache.h"
#include "platform/url_cache.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using larkspur::CacheEntryHeader;
using larkspur::CacheEnumHandle;
using larkspur::TsvUrlCache;
using larkspur::testing::ReadFile;
using larkspur::testing::TempDir;
using larkspur::testing::WriteFile;

struct Listed {
  std::string url;
  std::uint32_t type;
};

Listed Read(const std::vector<char>& buffer) {
  CacheEntryHeader header;
  std::memcpy(&header, buffer.data(), sizeof header);
  return {header.lpszSourceUrlName, header.CacheEntryType};
}

// The whole enumeration through a buffer big enough for any entry here.
std::vector<Listed> List(TsvUrlCache& cache, const char* pattern = nullptr) {
  std::vector<Listed> listed;
  std::vector<char> buffer(4096);
  std::uint32_t size = 4096;
  long error = 0;
  const CacheEnumHandle handle = cache.FindFirstEntry(pattern, buffer.data(), &size, &error);
  if (handle == 0)
    return listed;
  do {
    listed.push_back(Read(buffer));
    size = 4096;
  } while (cache.FindNextEntry(handle, buffer.data(), &size, &error));
  cache.FindClose(handle);
  return listed;
}

std::vector<std::string> Urls(const std::vector<Listed>& listed) {
  std::vector<std::string> urls;
  for (const Listed& entry : listed)
    urls.push_back(entry.url);
  return urls;
}

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

ino_t Inode(const fs::path& path) {
  struct stat state {};
  ::lstat(path.c_str(), &state);
  return state.st_ino;
}

class TsvUrlCacheTest : public ::testing::Test {
 protected:
  TsvUrlCache Adapter() {
    return TsvUrlCache(list_.string(),
                       std::make_unique<larkspur::PosixFolderTree>((dir_ / "home").string()),
                       [this] { return std::vector<std::string>{(dir_ / "cache").string()}; });
  }
  bool DeleteAndCommit(const std::string& url) {
    const bool deleted = cache_.DeleteEntry(url).WasRemoved();
    return cache_.Commit() && deleted;
  }

  TempDir dir_;
  fs::path list_ = dir_ / "larkspur/urlcache.tsv";
  TsvUrlCache cache_ = Adapter();
};

TEST_F(TsvUrlCacheTest, DeleteLeavesEveryOtherByteAsItWas) {
  const fs::path picture = dir_ / "cache/picture.png";
  WriteFile(picture, "png");
  const std::string head = "http://a.example/1.png\t/nowhere/1.png\n\n  http://b.example/ spaced\n";
  const std::string target = "http://target.example/x.png\t" + picture.string() + "\n";
  const std::string tail = "Cookie:user@c.example/\t/nowhere/cookie.txt\nhttp://last.example/";
  WriteFile(list_, head + target + tail);

  ASSERT_TRUE(DeleteAndCommit("http://target.example/x.png"));
  EXPECT_EQ(ReadFile(list_), head + tail);
  EXPECT_FALSE(Exists(picture));

  // The last line has no newline; the one before keeps its own.
  ASSERT_TRUE(DeleteAndCommit("http://last.example/"));
  EXPECT_EQ(ReadFile(list_), head + "Cookie:user@c.example/\t/nowhere/cookie.txt\n");
}

TEST_F(TsvUrlCacheTest, DamagedFileAnswersWhatItCanAndIsNeverRewritten) {
  const fs::path local = dir_ / "cache/good.css";
  const std::string good = "http://good.example/good.css\t" + local.string() + "\n";
  const std::string damaged_lines[] = {
      std::string("http://nul.example/\0x\n", 22),
      "http://two.example/\t/a\t/b\n",
      "\t/local/without/url\n",
      "http://tab.example/\t\n",
      "http://crlf.example/\r\n",
  };
  for (const std::string& damaged : damaged_lines) {
    SCOPED_TRACE(damaged);
    WriteFile(local, "css");
    const std::string contents = good + damaged + "http://after.example/\n";
    WriteFile(list_, contents);
    const ino_t inode = Inode(list_);

    EXPECT_EQ(Urls(List(cache_)),
              (std::vector<std::string>{"http://good.example/good.css", "http://after.example/"}));
    EXPECT_FALSE(DeleteAndCommit("http://good.example/good.css"));
    EXPECT_EQ(ReadFile(list_), contents);
    EXPECT_EQ(Inode(list_), inode);
    EXPECT_TRUE(Exists(local));
  }
}

TEST_F(TsvUrlCacheTest, LinkAsLocalFileGoesButItsTargetStays) {
  const fs::path target = dir_ / "elsewhere/precious.txt";
  WriteFile(target, "keep me");
  const fs::path link = dir_ / "cache/link.txt";
  fs::create_directories(link.parent_path());
  fs::create_symlink(target, link);
  WriteFile(list_, "http://a.example/\t" + link.string() + "\n");

  EXPECT_TRUE(cache_.DeleteEntry("http://a.example/").WasRemoved());
  EXPECT_FALSE(Exists(link));
  EXPECT_EQ(ReadFile(target), "keep me");
}

TEST_F(TsvUrlCacheTest, FolderAsLocalFileStays) {
  const fs::path folder = dir_ / "cache/folder";
  WriteFile(folder / "inside.txt", "keep me");
  WriteFile(list_, "http://a.example/\t" + folder.string() + "\n");

  EXPECT_TRUE(DeleteAndCommit("http://a.example/"));
  EXPECT_EQ(ReadFile(list_), "");
  EXPECT_EQ(ReadFile(folder / "inside.txt"), "keep me");
}

TEST_F(TsvUrlCacheTest, RelativeLocalFileIsNotDeleted) {
  WriteFile(dir_ / "relative.png", "keep me");
  WriteFile(list_, "http://a.example/relative.png\trelative.png\n");
  const fs::path previous = fs::current_path();
  fs::current_path(dir_.path());

  const bool deleted = DeleteAndCommit("http://a.example/relative.png");
  fs::current_path(previous);
  EXPECT_TRUE(deleted);
  EXPECT_EQ(ReadFile(list_), "");
  EXPECT_TRUE(Exists(dir_ / "relative.png"));
}

TEST_F(TsvUrlCacheTest, MissingFileIsAnEmptyCacheAndStaysMissing) {
  std::uint32_t size = 0;
  long error = 0;
  EXPECT_EQ(cache_.FindFirstEntry(nullptr, nullptr, &size, &error), 0u);
  EXPECT_EQ(error, larkspur::kErrorNoMoreItems);
  EXPECT_FALSE(cache_.DeleteEntry("http://a.example/").WasRemoved());
  EXPECT_FALSE(Exists(list_));
}

TEST_F(TsvUrlCacheTest, PatternsArePrefixesInAnyCaseAndTypesFollowTheUrl) {
  WriteFile(list_,
            "http://a.example/\nCookie:user@a.example/\nVisited: user@http://a.example/\n"
            "https://b.example/\n");

  const std::vector<Listed> cookies = List(cache_, "COOKIE:");
  ASSERT_EQ(cookies.size(), 1u);
  EXPECT_EQ(cookies[0].type, larkspur::kCookieCacheEntry);
  const std::vector<Listed> visits = List(cache_, "visited:");
  ASSERT_EQ(visits.size(), 1u);
  EXPECT_EQ(visits[0].type, larkspur::kUrlHistoryCacheEntry);
  const std::vector<Listed> plain = List(cache_, "http:");
  ASSERT_EQ(plain.size(), 1u);
  EXPECT_EQ(plain[0].type, larkspur::kNormalCacheEntry);
  EXPECT_EQ(List(cache_).size(), 4u);
}

TEST_F(TsvUrlCacheTest, EnumerationShowsTheFileAsItWasAtFindFirst) {
  WriteFile(list_, "http://1.example/\nhttp://2.example/\n");
  std::vector<char> buffer(4096);
  std::uint32_t size = 4096;
  long error = 0;
  const CacheEnumHandle handle = cache_.FindFirstEntry(nullptr, buffer.data(), &size, &error);
  ASSERT_NE(handle, 0u);

  WriteFile(list_, "http://3.example/\n");
  size = 4096;
  ASSERT_TRUE(cache_.FindNextEntry(handle, buffer.data(), &size, &error));
  EXPECT_EQ(Read(buffer).url, "http://2.example/");
  size = 4096;
  EXPECT_FALSE(cache_.FindNextEntry(handle, buffer.data(), &size, &error));
  EXPECT_EQ(error, larkspur::kErrorNoMoreItems);
  cache_.FindClose(handle);
}

class TextUrlHistoryTest : public ::testing::Test {
 protected:
  TempDir dir_;
  fs::path file_ = dir_ / "larkspur/urlhistory.txt";
  larkspur::TextUrlHistory history_{file_.string()};
};

TEST_F(TextUrlHistoryTest, EmptiesTheFile) {
  WriteFile(file_, "http://a.example/\nhttp://b.example/\n");
  EXPECT_TRUE(history_.ClearHistory());
  EXPECT_TRUE(fs::is_regular_file(file_));
  EXPECT_EQ(ReadFile(file_), "");
}

TEST_F(TextUrlHistoryTest, MissingFileIsAlreadyEmptyAndIsNotCreated) {
  EXPECT_TRUE(history_.ClearHistory());
  EXPECT_FALSE(Exists(file_));
  EXPECT_FALSE(Exists(file_.parent_path()));
}

TEST_F(TextUrlHistoryTest, FolderInItsPlaceCannotBeEmptied) {
  WriteFile(file_ / "inside.txt", "keep me");
  EXPECT_FALSE(history_.ClearHistory());
  EXPECT_EQ(ReadFile(file_ / "inside.txt"), "keep me");
}

TEST_F(TextUrlHistoryTest, LinkInItsPlaceIsEmptiedAtItsTargetAndStaysALink) {
  const fs::path target = dir_ / "dotfiles/urlhistory.txt";
  WriteFile(target, "http://a.example/\n");
  fs::create_directories(file_.parent_path());
  fs::create_symlink(target, file_);

  EXPECT_TRUE(history_.ClearHistory());
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(ReadFile(target), "");
}

}  // namespace
#endif
