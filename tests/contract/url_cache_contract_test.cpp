// What the core relies on from every URL cache: wininet's two-call size query, entries laid out
// in the caller's buffer, every kind of entry reachable, and deletion of entry and local file.
// Each store comes in through a harness; another store is one more harness and one more line in
// kAdapters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_url_cache.h"
#include "platform/url_cache.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#include <wininet.h>

#include "platform/win32/wininet_url_cache.h"
#include "support/wine.h"
#else
#include "platform/posix/posix_folder_tree.h"
#include "platform/posix/tsv_url_cache.h"
#endif

namespace {

using larkspur::CacheEntryHeader;
using larkspur::CacheEnumHandle;
using larkspur::kCookieCacheEntry;
using larkspur::kErrorInsufficientBuffer;
using larkspur::kErrorNoMoreItems;
using larkspur::kUrlHistoryCacheEntry;
using larkspur::UrlCachePort;

// A store that starts out empty, seeded the way the browser fills it.
constexpr auto kAbsent = larkspur::Removal::Outcome::kAbsent;

class UrlCacheHarness {
 public:
  virtual ~UrlCacheHarness() = default;
  virtual UrlCachePort& cache() = 0;
  // Adds an entry; with a local file, makes it and returns its path (else "").
  virtual std::string Seed(const std::string& url, bool with_local_file) = 0;
  virtual bool LocalFileExists(const std::string& path) = 0;
  // Another adapter on the same store, as a second run of the program has.
  virtual UrlCachePort& second_run() { return cache(); }
  // The system's own store: its tests run only under Wine.
  virtual bool ChangesRealStore() const { return false; }
};

class FakeHarness : public UrlCacheHarness {
 public:
  UrlCachePort& cache() override { return cache_; }
  std::string Seed(const std::string& url, bool with_local_file) override {
    const std::string path =
        with_local_file ? "C:\\fake-cache\\entry" + std::to_string(++files_) : std::string();
    cache_.Add(url, path, path.empty() ? 0 : 12);
    return path;
  }
  bool LocalFileExists(const std::string& path) override { return cache_.LocalFileExists(path); }

 protected:
  larkspur::testing::FakeUrlCache cache_;
  int files_ = 0;
};

// The fake shaped like Windows: cookies and history only through the extra patterns.
class WindowsShapedFakeHarness : public FakeHarness {
 public:
  WindowsShapedFakeHarness() {
    cache_.set_default_returns_content_only(true);
    cache_.set_extra_patterns({"cookie:", "visited:"});
  }
};

#ifndef _WIN32
class TsvHarness : public UrlCacheHarness {
 public:
  UrlCachePort& cache() override { return cache_; }
  std::string Seed(const std::string& url, bool with_local_file) override {
    std::string line = url;
    std::string path;
    if (with_local_file) {
      path = (dir_ / ("files/entry" + std::to_string(++files_))).string();
      larkspur::testing::WriteFile(path, "cached bytes");
      line += "\t" + path;
    }
    larkspur::testing::WriteFile(list_, larkspur::testing::ReadFile(list_) + line + "\n");
    return path;
  }
  bool LocalFileExists(const std::string& path) override {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
  }
  UrlCachePort& second_run() override { return second_run_; }

 private:
  larkspur::TsvUrlCache Adapter() {
    return larkspur::TsvUrlCache(
        list_.string(), std::make_unique<larkspur::PosixFolderTree>((dir_ / "home").string()),
        [this] { return std::vector<std::string>{(dir_ / "files").string()}; });
  }

  larkspur::testing::TempDir dir_;
  std::filesystem::path list_ = dir_ / "urlcache.tsv";
  larkspur::TsvUrlCache cache_ = Adapter();
  larkspur::TsvUrlCache second_run_ = Adapter();
  int files_ = 0;
};
#endif

#ifdef _WIN32
// wininet's cache in the Wine prefix, which outlives the test: the harness starts from an empty
// cache and removes what it added. Seeding goes the browser's way, past the adapter.
class WininetHarness : public UrlCacheHarness {
 public:
  WininetHarness() {
    if (!larkspur::testing::RunningUnderWine())
      return;
    for (const std::string& url : UrlsPresent())
      ::DeleteUrlCacheEntryA(url.c_str());
  }
  ~WininetHarness() override {
    for (const std::string& url : seeded_)
      ::DeleteUrlCacheEntryA(url.c_str());
  }

  bool ChangesRealStore() const override { return true; }
  UrlCachePort& cache() override { return cache_; }

  std::string Seed(const std::string& url, bool with_local_file) override {
    char path[MAX_PATH] = "";
    if (with_local_file) {
      if (!::CreateUrlCacheEntryA(url.c_str(), 0, "", path, 0)) {
        ADD_FAILURE() << "CreateUrlCacheEntryA " << url << ": " << ::GetLastError();
        return "";
      }
      // wininet commits only a file that exists at the path it gave.
      const HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
      EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
      DWORD written = 0;
      ::WriteFile(file, "cached bytes", 12, &written, nullptr);
      ::CloseHandle(file);
    }
    DWORD type = NORMAL_CACHE_ENTRY;
    if (url.rfind("Cookie:", 0) == 0)
      type = COOKIE_CACHE_ENTRY;
    else if (url.rfind("Visited:", 0) == 0)
      type = URLHISTORY_CACHE_ENTRY;
    const FILETIME none{};
    if (!::CommitUrlCacheEntryA(url.c_str(), with_local_file ? path : nullptr, none, none, type,
                                nullptr, 0, nullptr, nullptr)) {
      ADD_FAILURE() << "CommitUrlCacheEntryA " << url << ": " << ::GetLastError();
    }
    seeded_.push_back(url);
    return path;
  }

  bool LocalFileExists(const std::string& path) override {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

 private:
  // Every entry of every kind, whichever way the cache answers patterns.
  static std::vector<std::string> UrlsPresent() {
    std::vector<std::string> urls;
    for (const char* pattern :
         {static_cast<const char*>(nullptr), "Cookie:", "Visited:", "cookie:", "visited:"}) {
      std::vector<char> buffer(4096);
      HANDLE handle = nullptr;
      auto fetch = [&](auto call) {
        DWORD size = static_cast<DWORD>(buffer.size());
        auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
        bool fetched = call(info, &size);
        if (!fetched && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
          buffer.resize(size);
          info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
          fetched = call(info, &size);
        }
        if (!fetched)
          return false;
        urls.push_back(info->lpszSourceUrlName);
        return true;
      };
      bool more = fetch([&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* size) {
        handle = ::FindFirstUrlCacheEntryA(pattern, info, size);
        return handle != nullptr;
      });
      while (more) {
        more = fetch([&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* size) {
          return ::FindNextUrlCacheEntryA(handle, info, size) != FALSE;
        });
      }
      if (handle != nullptr)
        ::FindCloseUrlCache(handle);
    }
    return urls;
  }

  larkspur::WininetUrlCache cache_;
  std::vector<std::string> seeded_;
};
#endif

struct Adapter {
  const char* name;
  std::function<std::unique_ptr<UrlCacheHarness>()> make;
};

const Adapter kAdapters[] = {
    {"Fake", [] { return std::make_unique<FakeHarness>(); }},
    {"WindowsShapedFake", [] { return std::make_unique<WindowsShapedFakeHarness>(); }},
#ifdef _WIN32
    {"Wininet", [] { return std::make_unique<WininetHarness>(); }},
#else
    {"TsvStandIn", [] { return std::make_unique<TsvHarness>(); }},
#endif
};

void PrintTo(const Adapter& adapter, std::ostream* out) {
  *out << adapter.name;
}

struct Fetched {
  std::string url;
  std::string local_file;
  std::uint32_t type = 0;
};

// The string at `text`, which must start behind the header and end inside the buffer.
std::string StringInside(const char* buffer, std::size_t size, const char* text) {
  const auto begin = reinterpret_cast<std::uintptr_t>(buffer);
  const auto at = reinterpret_cast<std::uintptr_t>(text);
  if (at < begin + sizeof(CacheEntryHeader) || at >= begin + size) {
    ADD_FAILURE() << "string pointer lies outside the entry buffer";
    return {};
  }
  if (std::memchr(text, '\0', begin + size - at) == nullptr) {
    ADD_FAILURE() << "string is not terminated within the reported size";
    return {};
  }
  return text;
}

Fetched Decode(const std::vector<char>& buffer) {
  CacheEntryHeader header;
  std::memcpy(&header, buffer.data(), sizeof header);
  EXPECT_EQ(header.dwStructSize, sizeof(CacheEntryHeader));
  Fetched fetched;
  fetched.type = header.CacheEntryType;
  if (header.lpszSourceUrlName == nullptr) {
    ADD_FAILURE() << "entry without a source URL";
  } else {
    fetched.url = StringInside(buffer.data(), buffer.size(), header.lpszSourceUrlName);
  }
  if (header.lpszLocalFileName != nullptr)
    fetched.local_file = StringInside(buffer.data(), buffer.size(), header.lpszLocalFileName);
  return fetched;
}

// One FindFirst or FindNext the way the core does it: a size query without a buffer, then the
// fetch into a buffer of exactly the size reported. With `short_attempt`, a fetch into a buffer
// one byte short comes in between, which must change nothing. nullopt: no more entries.
using EntryCall = std::function<bool(void* entry, std::uint32_t* size, long* error)>;

std::optional<Fetched> FetchWithSizeQuery(const EntryCall& call, bool short_attempt) {
  std::uint32_t size = 0;
  long error = 0;
  if (call(nullptr, &size, &error)) {
    ADD_FAILURE() << "succeeded without a buffer";
    return std::nullopt;
  }
  if (error == kErrorNoMoreItems)
    return std::nullopt;
  EXPECT_EQ(error, kErrorInsufficientBuffer);
  if (size < sizeof(CacheEntryHeader)) {
    ADD_FAILURE() << "size query answered " << size;
    return std::nullopt;
  }
  const std::uint32_t needed = size;
  if (short_attempt) {
    std::vector<char> small(needed - 1);
    size = needed - 1;
    EXPECT_FALSE(call(small.data(), &size, &error));
    EXPECT_EQ(error, kErrorInsufficientBuffer);
    EXPECT_EQ(size, needed);
  }
  std::vector<char> buffer(needed);
  size = needed;
  if (!call(buffer.data(), &size, &error)) {
    ADD_FAILURE() << "fetch into a buffer of the reported size failed, error " << error;
    return std::nullopt;
  }
  return Decode(buffer);
}

// A whole enumeration; `after_each` runs behind every entry fetched (the core deletes there).
std::vector<Fetched> Enumerate(UrlCachePort& cache, const char* pattern, bool short_attempt = false,
                               const std::function<void(const Fetched&)>& after_each = {}) {
  std::vector<Fetched> entries;
  CacheEnumHandle handle = 0;
  std::optional<Fetched> next = FetchWithSizeQuery(
      [&](void* entry, std::uint32_t* size, long* error) {
        handle = cache.FindFirstEntry(pattern, entry, size, error);
        return handle != 0;
      },
      short_attempt);
  while (next) {
    entries.push_back(*next);
    if (after_each)
      after_each(*next);
    if (entries.size() > 10000) {
      ADD_FAILURE() << "enumeration does not end";
      break;
    }
    next = FetchWithSizeQuery(
        [&](void* entry, std::uint32_t* size, long* error) {
          return cache.FindNextEntry(handle, entry, size, error);
        },
        short_attempt);
  }
  if (handle != 0) {
    EXPECT_TRUE(cache.FindClose(handle));
  }
  return entries;
}

// The default enumeration plus the store's extra patterns, one entry per URL.
std::map<std::string, Fetched> EnumerateAll(
    UrlCachePort& cache, const std::function<void(const Fetched&)>& after_each = {}) {
  std::map<std::string, Fetched> all;
  for (const Fetched& entry : Enumerate(cache, nullptr, false, after_each))
    all[entry.url] = entry;
  for (const std::string& pattern : cache.ExtraEnumerationPatterns()) {
    for (const Fetched& entry : Enumerate(cache, pattern.c_str(), false, after_each))
      all[entry.url] = entry;
  }
  return all;
}

std::vector<std::string> Urls(const std::vector<Fetched>& entries) {
  std::vector<std::string> urls;
  for (const Fetched& entry : entries)
    urls.push_back(entry.url);
  return urls;
}

class UrlCacheContract : public ::testing::TestWithParam<Adapter> {
 protected:
  void SetUp() override {
#ifdef _WIN32
    if (harness_->ChangesRealStore())
      LARKSPUR_REQUIRE_WINE();
#endif
  }

  std::unique_ptr<UrlCacheHarness> harness_ = GetParam().make();
  UrlCachePort& cache_ = harness_->cache();
};

TEST_P(UrlCacheContract, EmptyCacheEndsAtOnceAndLeavesTheSizeAlone) {
  std::vector<const char*> patterns = {nullptr};
  const std::vector<std::string> extra = cache_.ExtraEnumerationPatterns();
  for (const std::string& pattern : extra)
    patterns.push_back(pattern.c_str());
  for (const char* pattern : patterns) {
    SCOPED_TRACE(pattern ? pattern : "(default enumeration)");
    std::uint32_t size = 12345;
    long error = 0;
    EXPECT_EQ(cache_.FindFirstEntry(pattern, nullptr, &size, &error), 0u);
    EXPECT_EQ(error, kErrorNoMoreItems);
    EXPECT_EQ(size, 12345u);

    std::vector<char> buffer(4096);
    size = 4096;
    EXPECT_EQ(cache_.FindFirstEntry(pattern, buffer.data(), &size, &error), 0u);
    EXPECT_EQ(error, kErrorNoMoreItems);
    EXPECT_EQ(size, 4096u);
  }
}

TEST_P(UrlCacheContract, SizeQueryThenFetchGivesTheEntryInsideTheBuffer) {
  const std::string url = "http://larkspur.example/pictures/a.png";
  const std::string local_file = harness_->Seed(url, true);

  std::uint32_t size = 0;
  long error = 0;
  EXPECT_EQ(cache_.FindFirstEntry(nullptr, nullptr, &size, &error), 0u);
  EXPECT_EQ(error, kErrorInsufficientBuffer);
  ASSERT_GT(size, sizeof(CacheEntryHeader) + url.size());

  std::vector<char> buffer(size);
  const CacheEnumHandle handle = cache_.FindFirstEntry(nullptr, buffer.data(), &size, &error);
  ASSERT_NE(handle, 0u);
  const Fetched entry = Decode(buffer);
  EXPECT_EQ(entry.url, url);
  EXPECT_EQ(entry.local_file, local_file);
  EXPECT_EQ(entry.type & (kCookieCacheEntry | kUrlHistoryCacheEntry), 0u);

  std::uint32_t untouched = 777;
  EXPECT_FALSE(cache_.FindNextEntry(handle, nullptr, &untouched, &error));
  EXPECT_EQ(error, kErrorNoMoreItems);
  EXPECT_EQ(untouched, 777u);
  EXPECT_TRUE(cache_.FindClose(handle));
}

// The core asks with *size 0, but the port promises a size query for no buffer whatever *size
// says: Wine would write the header into the null buffer.
TEST_P(UrlCacheContract, SizeQueryWithoutBufferIgnoresTheSizeGiven) {
  harness_->Seed("http://larkspur.example/1.gif", true);
  harness_->Seed("http://larkspur.example/2.gif", true);

  std::uint32_t needed = 0;
  long error = 0;
  ASSERT_EQ(cache_.FindFirstEntry(nullptr, nullptr, &needed, &error), 0u);
  std::uint32_t size = 4096;
  EXPECT_EQ(cache_.FindFirstEntry(nullptr, nullptr, &size, &error), 0u);
  EXPECT_EQ(error, kErrorInsufficientBuffer);
  EXPECT_EQ(size, needed);

  std::vector<char> buffer(4096);
  size = 4096;
  const CacheEnumHandle handle = cache_.FindFirstEntry(nullptr, buffer.data(), &size, &error);
  ASSERT_NE(handle, 0u);
  size = 4096;
  EXPECT_FALSE(cache_.FindNextEntry(handle, nullptr, &size, &error));
  EXPECT_EQ(error, kErrorInsufficientBuffer);
  EXPECT_GT(size, sizeof(CacheEntryHeader));
  EXPECT_LT(size, 4096u);
  EXPECT_TRUE(cache_.FindClose(handle));
}

TEST_P(UrlCacheContract, ShortBufferNeverSkipsAnEntry) {
  for (int i = 0; i < 4; ++i)
    harness_->Seed("http://larkspur.example/page" + std::to_string(i) + ".html", i % 2 == 0);

  const std::vector<std::string> plain = Urls(Enumerate(cache_, nullptr));
  const std::vector<std::string> with_short_attempts =
      Urls(Enumerate(cache_, nullptr, /*short_attempt=*/true));
  EXPECT_EQ(with_short_attempts, plain);
  EXPECT_EQ(plain.size(), 4u);
}

TEST_P(UrlCacheContract, EveryKindOfEntryIsReachable) {
  const std::string content = "http://larkspur.example/style.css";
  const std::string cookie = "Cookie:user@larkspur.example/";
  const std::string visited = "Visited: user@http://larkspur.example/";
  harness_->Seed(content, true);
  harness_->Seed(cookie, true);
  harness_->Seed(visited, false);

  const std::map<std::string, Fetched> all = EnumerateAll(cache_);
  ASSERT_EQ(all.count(content), 1u);
  ASSERT_EQ(all.count(cookie), 1u);
  ASSERT_EQ(all.count(visited), 1u);
  EXPECT_EQ(all.at(content).type & (kCookieCacheEntry | kUrlHistoryCacheEntry), 0u);
  EXPECT_NE(all.at(cookie).type & kCookieCacheEntry, 0u);
  EXPECT_NE(all.at(visited).type & kUrlHistoryCacheEntry, 0u);
}

TEST_P(UrlCacheContract, DeleteRemovesTheEntryAndOnlyItsLocalFile) {
  const std::string gone = "http://larkspur.example/gone.js";
  const std::string kept = "http://larkspur.example/kept.js";
  const std::string gone_file = harness_->Seed(gone, true);
  const std::string kept_file = harness_->Seed(kept, true);

  const larkspur::Removal removal = cache_.DeleteEntry(gone);
  EXPECT_TRUE(removal.WasRemoved());
  EXPECT_GT(removal.bytes, 0u) << "the space of the local file";
  EXPECT_FALSE(harness_->LocalFileExists(gone_file));
  EXPECT_TRUE(harness_->LocalFileExists(kept_file));
  const std::map<std::string, Fetched> all = EnumerateAll(cache_);
  EXPECT_EQ(all.count(gone), 0u);
  EXPECT_EQ(all.count(kept), 1u);

  EXPECT_EQ(cache_.DeleteEntry(gone).outcome, kAbsent) << "a second deletion finds nothing";
}

TEST_P(UrlCacheContract, CommittedDeletionsAreGoneForTheNextRunToo) {
  const std::string gone = "http://larkspur.example/gone.css";
  const std::string kept = "Cookie:user@larkspur.example/";
  harness_->Seed(gone, false);
  harness_->Seed(kept, false);

  EXPECT_TRUE(cache_.DeleteEntry(gone).WasRemoved());
  EXPECT_TRUE(cache_.Commit());
  EXPECT_TRUE(cache_.Commit()) << "nothing left to write is no failure";
  const std::map<std::string, Fetched> seen = EnumerateAll(harness_->second_run());
  EXPECT_EQ(seen.count(gone), 0u);
  EXPECT_EQ(seen.count(kept), 1u);
  EXPECT_EQ(harness_->second_run().DeleteEntry(gone).outcome, kAbsent);
}

TEST_P(UrlCacheContract, DeletingAnUnknownUrlFailsAndKeepsEverything) {
  const std::string url = "http://larkspur.example/a.png";
  const std::string local_file = harness_->Seed(url, true);

  EXPECT_EQ(cache_.DeleteEntry("http://larkspur.example/unknown.png").outcome, kAbsent);
  EXPECT_EQ(cache_.DeleteEntry("http://larkspur.example/a").outcome, kAbsent)
      << "a prefix is not the URL";
  EXPECT_TRUE(harness_->LocalFileExists(local_file));
  EXPECT_EQ(EnumerateAll(cache_).count(url), 1u);
}

TEST_P(UrlCacheContract, DeletingEachEntryAsItComesReachesThemAll) {
  const std::vector<std::string> urls = {
      "http://larkspur.example/1.gif", "http://larkspur.example/2.gif",
      "http://larkspur.example/3.gif", "Cookie:user@larkspur.example/",
      "Visited: user@http://larkspur.example/1.gif"};
  for (const std::string& url : urls)
    harness_->Seed(url, url.rfind("Visited:", 0) != 0);

  std::vector<std::string> deleted;
  EnumerateAll(cache_, [&](const Fetched& entry) {
    if (cache_.DeleteEntry(entry.url).WasRemoved())
      deleted.push_back(entry.url);
  });
  std::sort(deleted.begin(), deleted.end());
  std::vector<std::string> expected = urls;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(deleted, expected);
  EXPECT_TRUE(EnumerateAll(cache_).empty());
}

TEST_P(UrlCacheContract, ClosedHandleEndsTheEnumeration) {
  harness_->Seed("http://larkspur.example/1.gif", false);
  harness_->Seed("http://larkspur.example/2.gif", false);
  std::vector<char> buffer(4096);
  std::uint32_t size = 4096;
  long error = 0;
  const CacheEnumHandle handle = cache_.FindFirstEntry(nullptr, buffer.data(), &size, &error);
  ASSERT_NE(handle, 0u);
  EXPECT_TRUE(cache_.FindClose(handle));

  size = 4096;
  EXPECT_FALSE(cache_.FindNextEntry(handle, buffer.data(), &size, &error));
  size = 4096;
  EXPECT_FALSE(cache_.FindNextEntry(0, buffer.data(), &size, &error));
  cache_.FindClose(0);  // allowed; its answer is the store's business
}

INSTANTIATE_TEST_SUITE_P(Adapters, UrlCacheContract, ::testing::ValuesIn(kAdapters),
                         [](const ::testing::TestParamInfo<Adapter>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
