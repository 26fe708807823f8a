// The Linux stand-in stores against links, the leftovers of a crash, two runs at once, and cache
// entries that name files elsewhere. FIFOs, devices and huge stores: tests/e2e/safety_test.sh.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/posix/posix_folder_tree.h"
#include "platform/posix/regedit4_registry.h"
#include "platform/posix/tsv_url_cache.h"
#include "support/temp_dir.h"
#include "support/tree_snapshot.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::TreeSnapshot;
using testing::WriteFile;

constexpr char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

class StoreSafety : public ::testing::Test {
 protected:
  std::unique_ptr<TsvUrlCache> Cache() {
    return std::make_unique<TsvUrlCache>(
        list_.string(), std::make_unique<PosixFolderTree>((dir_ / "home").string()),
        [this] { return std::vector<std::string>{cache_folder_.string()}; });
  }
  // The URLs a fresh run of the cache lists.
  std::set<std::string> Listed() {
    std::set<std::string> urls;
    auto cache = Cache();
    std::vector<char> buffer(4096);
    std::uint32_t size = 4096;
    long error = 0;
    const CacheEnumHandle handle = cache->FindFirstEntry(nullptr, buffer.data(), &size, &error);
    for (bool more = handle != 0; more;
         size = 4096, more = cache->FindNextEntry(handle, buffer.data(), &size, &error)) {
      CacheEntryHeader header;
      std::memcpy(&header, buffer.data(), sizeof header);
      urls.insert(header.lpszSourceUrlName);
    }
    cache->FindClose(handle);
    return urls;
  }
  long DeleteTypedUrl(Regedit4Registry& registry, const std::string& name) {
    RegKey key = 0;
    if (registry.OpenKey(kHkeyCurrentUser, kTypedUrls, kKeyAllAccess, &key) != kErrorSuccess)
      return -1;
    const long result = registry.DeleteValue(key, name);
    registry.CloseKey(key);
    return result;
  }

  TempDir dir_;
  fs::path store_ = dir_ / "home/.local/share/larkspur";
  fs::path list_ = store_ / "urlcache.tsv";
  fs::path registry_file_ = store_ / "registry.reg";
  fs::path cache_folder_ = dir_ / "ie/INetCache";
};

TEST_F(StoreSafety, ALinkedStoreIsWrittenThroughToItsTarget) {
  const fs::path target = dir_ / "dotfiles/registry.reg";
  WriteFile(target, "REGEDIT4\n\n[HKEY_CURRENT_USER\\" + std::string(kTypedUrls) +
                        "]\n\"url1\"=\"http://one.example/\"\n\"url2\"=\"http://two.example/\"\n");
  fs::create_directories(store_);
  fs::create_symlink(target, registry_file_);

  Regedit4Registry registry(registry_file_.string());
  EXPECT_EQ(DeleteTypedUrl(registry, "url1"), kErrorSuccess);
  EXPECT_TRUE(fs::is_symlink(registry_file_));
  EXPECT_EQ(ReadFile(target), "REGEDIT4\n\n[HKEY_CURRENT_USER\\" + std::string(kTypedUrls) +
                                  "]\n\"url2\"=\"http://two.example/\"\n");
}

TEST_F(StoreSafety, TheNextWriteRemovesOnlyItsOwnLeftoverTemporaryFiles) {
  WriteFile(list_, "http://a.example/\nhttp://b.example/\n");
  const std::vector<std::string> stale = {"urlcache.tsv.tmp-a1B2c3", "urlcache.tsv.tmp-ZZZZZZ"};
  const std::vector<std::string> others = {"urlcache.tsv.tmp-short", "urlcache.tsv.tmp-toolong1",
                                           "registry.reg.tmp-a1B2c3", "urlcache.tsv.bak",
                                           "my urlcache.tsv.tmp-a1B2c3"};
  for (const std::string& name : stale)
    WriteFile(store_ / name, "http://typed.example/\n");
  for (const std::string& name : others)
    WriteFile(store_ / name, name);

  auto cache = Cache();
  ASSERT_TRUE(cache->DeleteEntry("http://a.example/").WasRemoved());
  ASSERT_TRUE(cache->Commit());

  for (const std::string& name : stale)
    EXPECT_FALSE(fs::exists(store_ / name)) << name;
  for (const std::string& name : others)
    EXPECT_EQ(ReadFile(store_ / name), name);
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(store_))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(left.size(), others.size() + 1);
}

// Two runs, each a process of its own, delete every other value or entry one at a time; with
// the stores' read-modify-write not serialised, one would write back what the other deleted.
TEST_F(StoreSafety, TwoRunsAtOnceLoseNoDeletion) {
  constexpr int kCount = 60;
  std::string reg = "REGEDIT4\n\n[HKEY_CURRENT_USER\\" + std::string(kTypedUrls) + "]\n";
  std::string tsv;
  for (int n = 0; n < kCount; ++n) {
    reg += "\"url" + std::to_string(n) + "\"=\"http://" + std::to_string(n) + ".example/\"\n";
    tsv += "http://" + std::to_string(n) + ".example/\n";
  }
  reg += "\"kept\"=\"stays\"\n";
  tsv += "http://kept.example/\n";
  WriteFile(registry_file_, reg);
  WriteFile(list_, tsv);

  std::vector<pid_t> runs;
  for (int parity = 0; parity < 2; ++parity) {
    const pid_t run = ::fork();
    ASSERT_GE(run, 0);
    if (run == 0) {
      Regedit4Registry registry(registry_file_.string());
      auto cache = Cache();
      bool all = true;
      for (int n = parity; n < kCount; n += 2) {
        all = DeleteTypedUrl(registry, "url" + std::to_string(n)) == kErrorSuccess && all;
        all = cache->DeleteEntry("http://" + std::to_string(n) + ".example/").WasRemoved() && all;
        all = cache->Commit() && all;
      }
      ::_exit(all ? 0 : 1);
    }
    runs.push_back(run);
  }
  for (const pid_t run : runs) {
    int status = 0;
    ASSERT_EQ(::waitpid(run, &status, 0), run);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  EXPECT_EQ(ReadFile(registry_file_), "REGEDIT4\n\n[HKEY_CURRENT_USER\\" + std::string(kTypedUrls) +
                                          "]\n\"kept\"=\"stays\"\n");
  EXPECT_EQ(ReadFile(list_), "http://kept.example/\n");
}

TEST_F(StoreSafety, ACacheEntryDeletesItsLocalFileOnlyInsideTheCacheFolder) {
  const fs::path home = dir_ / "home";
  WriteFile(home / "Documents/letter.txt", "dear");
  WriteFile(dir_ / "ie/INetCache-sibling/x.htm", "beside");
  WriteFile(cache_folder_ / "X1/inside.htm", "cached");
  fs::create_directory_symlink(home / "Documents", cache_folder_ / "X1/docs");
  const std::vector<std::string> outside = {
      (home / "Documents/letter.txt").string(),
      cache_folder_.string() + "/../INetCache-sibling/x.htm",
      cache_folder_.string() + "-sibling/x.htm",
      (cache_folder_ / "X1/docs/letter.txt").string(),
      cache_folder_.string() + "/X1/./docs/letter.txt",
  };
  std::string tsv = "http://inside.example/\t" + (cache_folder_ / "X1/inside.htm").string() + "\n";
  for (std::size_t n = 0; n < outside.size(); ++n)
    tsv += "http://" + std::to_string(n) + ".example/\t" + outside[n] + "\n";
  WriteFile(list_, tsv);
  const auto before = TreeSnapshot(dir_.path(), list_.parent_path());

  auto cache = Cache();
  EXPECT_TRUE(cache->DeleteEntry("http://inside.example/").WasRemoved());
  for (std::size_t n = 0; n < outside.size(); ++n)
    EXPECT_TRUE(cache->DeleteEntry("http://" + std::to_string(n) + ".example/").Gone())
        << outside[n];
  EXPECT_TRUE(cache->Commit());

  auto expected = before;
  expected.erase((cache_folder_ / "X1/inside.htm").string());
  EXPECT_EQ(TreeSnapshot(dir_.path(), list_.parent_path()), expected);
  EXPECT_EQ(ReadFile(list_), "");
}

}  // namespace
}  // namespace larkspur
