#include "iecleanup/ie_history.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/controls.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_url_cache.h"
#include "fakes/fake_url_history.h"
#include "fakes/guarded_memory.h"
#include "iecleanup/registry1.h"
#include "support/native_ports.h"
#include "support/temp_dir.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::FakeUrlCache;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

class IEHistoryTest : public ::testing::Test {
 protected:
  IEHistoryTest()
      : folders_(testing::NativeFolderTree((dir_ / "home").string())),
        ie_(IECleanupPorts{registry_, cache_, history_, memory_, *folders_, record_}, List2_,
            List3_) {
    label_.SetListener([this](const std::string& text) { texts_.push_back(text); });
  }

  // Gives the shell folder `name` a real folder with one file in it.
  fs::path ShellFolderWithAFile(const std::string& name) {
    const fs::path folder = dir_ / name;
    testing::WriteFile(folder / "sub" / (name + ".dat"), "x");
    registry_.PutString(kShellFoldersKey, name, folder.string());
    return folder;
  }

  testing::TempDir dir_;
  testing::FakeRegistry registry_;
  FakeUrlCache cache_;
  testing::FakeUrlHistory history_;
  testing::GuardedMemory memory_;
  std::unique_ptr<FolderTree> folders_;
  Label label_;
  RunRecord record_{label_};
  std::vector<std::string> texts_;
  std::vector<std::string> List2_;
  std::vector<std::string> List3_;
  IEHistory ie_;
};

TEST_F(IEHistoryTest, LoadSortsCookieEntriesFromTheRest) {
  for (const char* url : {"http://a.example/x.png", "Cookie:me@a.example/", "cookie:me@b.example/",
                          "Visited: me@http://a.example/", "Cooki", "Cookie:me@c.example/"})
    cache_.Add(url);

  ie_.Load_IECacheEntries();

  EXPECT_THAT(List3_, ElementsAre("Cookie:me@a.example/", "Cookie:me@c.example/"));
  EXPECT_THAT(List2_, ElementsAre("http://a.example/x.png", "cookie:me@b.example/",
                                  "Visited: me@http://a.example/", "Cooki"));
  EXPECT_EQ(cache_.open_enumerations(), 0u);
}

TEST_F(IEHistoryTest, LoadAsksEachEntrysSizeBeforeFetchingIt) {
  cache_.Add("http://a.example/1");
  cache_.Add("http://a.example/2");
  ie_.Load_IECacheEntries();

  using Kind = FakeUrlCache::Call::Kind;
  std::vector<std::string> shape;
  for (const auto& call : cache_.calls()) {
    const char* name = call.kind == Kind::kFindFirst   ? "first"
                       : call.kind == Kind::kFindNext  ? "next"
                       : call.kind == Kind::kFindClose ? "close"
                                                       : "delete";
    shape.push_back(std::string(name) + (call.with_buffer ? "+buffer" : ""));
  }
  EXPECT_THAT(shape, ElementsAre("first", "first+buffer", "next", "next+buffer", "next", "close"));
  EXPECT_THAT(List2_, ElementsAre("http://a.example/1", "http://a.example/2"));
}

TEST_F(IEHistoryTest, LoadOfAnEmptyCacheStillClosesTheEnumeration) {
  ie_.Load_IECacheEntries();
  EXPECT_THAT(List2_, IsEmpty());
  EXPECT_THAT(List3_, IsEmpty());
  EXPECT_EQ(cache_.calls().back().kind, FakeUrlCache::Call::Kind::kFindClose);
}

TEST_F(IEHistoryTest, WhereTheDefaultEnumerationHasOnlyContentTheOtherKindsAreListedOnce) {
  cache_.set_default_returns_content_only(true);
  cache_.set_extra_patterns({"cookie:", "visited:"});
  cache_.Add("http://a.example/");
  cache_.Add("Cookie:me@a.example/");
  cache_.Add("Visited: me@http://a.example/");

  ie_.Load_IECacheEntries();

  EXPECT_THAT(List2_, UnorderedElementsAre("http://a.example/", "Visited: me@http://a.example/"));
  EXPECT_THAT(List3_, ElementsAre("Cookie:me@a.example/"));

  // Where the default enumeration has everything already, nothing comes twice.
  List2_.clear();
  List3_.clear();
  cache_.set_default_returns_content_only(false);
  ie_.Load_IECacheEntries();
  EXPECT_EQ(List2_.size() + List3_.size(), 3u);
}

TEST_F(IEHistoryTest, TempFilesDeletesTheCacheListOnceThenOnlySweeps) {
  cache_.Add("http://a.example/");
  cache_.Add("Visited: me@http://a.example/");
  cache_.Add("Cookie:me@a.example/");
  ie_.Load_IECacheEntries();
  const fs::path cache_folder = ShellFolderWithAFile("Cache");

  ie_.Delete_IETempFiles();

  EXPECT_THAT(cache_.deleted_urls(),
              ElementsAre("http://a.example/", "Visited: me@http://a.example/"));
  EXPECT_TRUE(cache_.Has("Cookie:me@a.example/")) << "cookies are the cookie step's";
  EXPECT_TRUE(fs::is_empty(cache_folder));
  EXPECT_EQ(texts_.front(), "-->http://a.example/");
  EXPECT_EQ(texts_.back(), "-->" + (cache_folder / "sub" / "Cache.dat").string());
  EXPECT_TRUE(ie_.CacheListDone());

  // The second run in the same process leaves the cache alone and sweeps the folder again.
  cache_.Add("http://b.example/");
  testing::WriteFile(cache_folder / "new.htm", "y");
  ie_.Delete_IETempFiles();
  EXPECT_EQ(cache_.deleted_urls().size(), 2u);
  EXPECT_TRUE(fs::is_empty(cache_folder));
}

TEST_F(IEHistoryTest, AnEntryIsShownOnlyOnceTheCacheHasMadeItsDeletionLast) {
  cache_.Add("http://a.example/");
  cache_.Add("http://b.example/");
  ie_.Load_IECacheEntries();
  std::vector<std::size_t> commits_seen;
  label_.SetListener([&](const std::string&) {
    commits_seen.push_back(static_cast<std::size_t>(std::count_if(
        cache_.calls().begin(), cache_.calls().end(),
        [](const auto& call) { return call.kind == FakeUrlCache::Call::Kind::kCommit; })));
  });

  ie_.Delete_IETempFiles();

  EXPECT_THAT(commits_seen, ElementsAre(1u, 1u));
  EXPECT_EQ(cache_.deleted_urls().size(), 2u);
}

TEST_F(IEHistoryTest, CookiesDeletesTheCookieListAndSweepsTheCookieFolder) {
  cache_.Add("Cookie:me@a.example/", "/cookies/me@a[1].txt");
  cache_.Add("http://a.example/");
  cache_.FailDeletionOf("Cookie:me@a.example/");
  cache_.Add("Cookie:me@b.example/");
  ie_.Load_IECacheEntries();
  const fs::path cookies = ShellFolderWithAFile("Cookies");

  ie_.Delete_IECookies();

  // A locked entry is not shown; it is counted as in use.
  EXPECT_THAT(texts_, ::testing::Contains("-->Cookie:me@b.example/"));
  EXPECT_THAT(texts_, ::testing::Not(::testing::Contains("-->Cookie:me@a.example/")));
  EXPECT_EQ(record_.Total().stayed[static_cast<std::size_t>(StayReason::kInUse)], 1u);
  EXPECT_EQ(record_.Total().erased_items, 2u) << "the other entry and the folder's file";
  EXPECT_THAT(cache_.urls(), UnorderedElementsAre("Cookie:me@a.example/", "http://a.example/"));
  EXPECT_TRUE(fs::is_empty(cookies));
  EXPECT_TRUE(ie_.CookieListDone());
  EXPECT_FALSE(ie_.CacheListDone());
}

TEST_F(IEHistoryTest, EmptyListsStillCountAsDone) {
  ie_.Load_IECacheEntries();
  ie_.Delete_IETempFiles();
  ie_.Delete_IECookies();
  EXPECT_TRUE(ie_.CacheListDone());
  EXPECT_TRUE(ie_.CookieListDone());
  EXPECT_THAT(texts_, IsEmpty());
}

TEST_F(IEHistoryTest, HistoryClearsTheUrlHistoryAndSweepsItsFolder) {
  const fs::path history = ShellFolderWithAFile("History");
  history_.result = false;  // as under Wine, where ClearHistory is not implemented
  ie_.Delete_IEHistory();
  EXPECT_EQ(history_.clear_calls, 1);
  EXPECT_TRUE(fs::is_empty(history));
  EXPECT_TRUE(fs::is_directory(history));
  // The history that could not be cleared stays, counted with its reason.
  EXPECT_EQ(record_.Total().stayed[static_cast<std::size_t>(StayReason::kNotSupported)], 1u);
  EXPECT_EQ(record_.Total().StayedCount(), 1u);
}

TEST_F(IEHistoryTest, MissingShellFoldersSweepNothing) {
  // With no Shell Folders values, an empty path must not become the current folder.
  const fs::path current = dir_ / "current";
  testing::WriteFile(current / "innocent.txt", "stay");
  const fs::path before = fs::current_path();
  fs::current_path(current);
  ie_.Delete_IEHistory();
  ie_.Delete_IETempFiles();
  ie_.Delete_IECookies();
  fs::current_path(before);
  EXPECT_TRUE(fs::exists(current / "innocent.txt"));
  EXPECT_THAT(texts_, IsEmpty());
}

TEST_F(IEHistoryTest, TypedUrlsOneToAHundredGoAndOthersStay) {
  registry_.PutString(kTypedUrlsKey, "url1", "http://one.example/");
  registry_.PutString(kTypedUrlsKey, "url3", "http://three.example/");
  registry_.PutString(kTypedUrlsKey, "url7", "http://seven.example/");
  registry_.PutString(kTypedUrlsKey, "url50", std::string(200, 'u'));
  registry_.PutString(kTypedUrlsKey, "url101", "http://kept.example/");
  registry_.PutString(kTypedUrlsKey, "url01", "http://kept-too.example/");

  ie_.Delete_IETypedUrls();

  for (const char* gone : {"url1", "url3", "url7", "url50"})
    EXPECT_FALSE(registry_.HasValue(kTypedUrlsKey, gone)) << gone;
  EXPECT_TRUE(registry_.HasValue(kTypedUrlsKey, "url101"));
  EXPECT_TRUE(registry_.HasValue(kTypedUrlsKey, "url01"));
  // The 200-character one is too long to read, so it is shown by its name.
  EXPECT_THAT(texts_, ElementsAre("-->http://one.example/", "-->http://three.example/",
                                  "-->http://seven.example/", "-->url50"));
  EXPECT_EQ(record_.Total().erased_items, 4u);
  EXPECT_EQ(record_.Total().erased_bytes, 265u) << "each value's data, terminator included";
  EXPECT_EQ(registry_.open_keys(), 0u);
}

}  // namespace
}  // namespace larkspur
