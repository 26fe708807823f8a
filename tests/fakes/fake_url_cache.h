#pragma once
// An in-memory URL cache with wininet's buffer rules, which logs every call so tests of the core
// can check how it drives the enumeration (size queries, handles closed, entries deleted).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/url_cache.h"

namespace larkspur::testing {

class FakeUrlCache final : public UrlCachePort {
 public:
  struct Call {
    enum class Kind { kFindFirst, kFindNext, kFindClose, kDelete, kCommit };
    Kind kind = Kind::kFindFirst;
    std::optional<std::string> pattern;  // FindFirst; nullopt for the default enumeration
    CacheEnumHandle handle = 0;          // FindNext, FindClose; for FindFirst the one returned
    bool with_buffer = false;            // FindFirst, FindNext
    std::uint32_t size_given = 0;        // FindFirst, FindNext: *size on entry
    std::string url;                     // Delete
    bool succeeded = false;
  };

  // Adds an entry; its type follows from the URL as in wininet ("Cookie:", "Visited:").
  // A non-empty local_file counts as existing until the entry is deleted.
  void Add(std::string url, std::string local_file = {}, std::uint64_t size = 0) {
    if (!local_file.empty())
      local_files_.insert(local_file);
    entries_.push_back({std::move(url), std::move(local_file), size});
  }

  // Windows' default enumeration returns only content entries; Wine's returns all of them.
  void set_default_returns_content_only(bool value) { default_content_only_ = value; }
  void set_extra_patterns(std::vector<std::string> patterns) {
    extra_patterns_ = std::move(patterns);
  }
  // DeleteEntry(url) fails and keeps the entry, as wininet does for a locked one.
  void FailDeletionOf(std::string url) { locked_.insert(std::move(url)); }

  bool Has(const std::string& url) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& entry) { return entry.url == url; });
  }
  bool LocalFileExists(const std::string& path) const { return local_files_.count(path) == 1; }
  std::vector<std::string> urls() const {
    std::vector<std::string> result;
    for (const Entry& entry : entries_)
      result.push_back(entry.url);
    return result;
  }

  const std::vector<Call>& calls() const { return calls_; }
  std::vector<std::string> deleted_urls() const {
    std::vector<std::string> result;
    for (const Call& call : calls_) {
      if (call.kind == Call::Kind::kDelete && call.succeeded)
        result.push_back(call.url);
    }
    return result;
  }
  std::vector<CacheEnumHandle> closed_handles() const {
    std::vector<CacheEnumHandle> result;
    for (const Call& call : calls_) {
      if (call.kind == Call::Kind::kFindClose && call.succeeded)
        result.push_back(call.handle);
    }
    return result;
  }
  // Enumerations that FindFirst opened and nobody closed.
  std::size_t open_enumerations() const { return enumerations_.size(); }

  CacheEnumHandle FindFirstEntry(const char* pattern, void* entry, std::uint32_t* size,
                                 long* error) override {
    Call call;
    call.kind = Call::Kind::kFindFirst;
    if (pattern != nullptr)
      call.pattern = pattern;
    call.with_buffer = entry != nullptr;
    call.size_given = size != nullptr ? *size : 0;
    Enumeration enumeration;
    for (const Entry& candidate : entries_) {
      if (Matches(candidate.url, pattern))
        enumeration.entries.push_back(candidate);
    }
    if (enumeration.entries.empty()) {
      *error = kErrorNoMoreItems;
    } else if (Copy(enumeration.entries.front(), entry, size, error)) {
      enumeration.next = 1;
      call.handle = next_handle_++;
      call.succeeded = true;
      enumerations_.emplace(call.handle, std::move(enumeration));
    }
    calls_.push_back(call);
    return call.handle;
  }

  bool FindNextEntry(CacheEnumHandle handle, void* entry, std::uint32_t* size,
                     long* error) override {
    Call call;
    call.kind = Call::Kind::kFindNext;
    call.handle = handle;
    call.with_buffer = entry != nullptr;
    call.size_given = size != nullptr ? *size : 0;
    const auto found = enumerations_.find(handle);
    if (found == enumerations_.end()) {
      *error = kErrorInvalidHandle;
    } else if (found->second.next >= found->second.entries.size()) {
      *error = kErrorNoMoreItems;
    } else if (Copy(found->second.entries[found->second.next], entry, size, error)) {
      ++found->second.next;
      call.succeeded = true;
    }
    calls_.push_back(call);
    return call.succeeded;
  }

  bool FindClose(CacheEnumHandle handle) override {
    Call call;
    call.kind = Call::Kind::kFindClose;
    call.handle = handle;
    call.succeeded = enumerations_.erase(handle) == 1;
    calls_.push_back(call);
    return call.succeeded;
  }

  Removal DeleteEntry(const std::string& url) override {
    Call call;
    call.kind = Call::Kind::kDelete;
    call.url = url;
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const Entry& entry) { return entry.url == url; });
    Removal removal = Removal::Absent();
    if (found != entries_.end() && locked_.count(url) == 1) {
      removal = Removal::Kept(StayReason::kInUse);
    } else if (found != entries_.end()) {
      removal = Removal::Removed(found->size);
      local_files_.erase(found->local_file);
      entries_.erase(found);
      call.succeeded = true;
    }
    calls_.push_back(call);
    return removal;
  }

  bool Commit() override {
    Call call;
    call.kind = Call::Kind::kCommit;
    call.succeeded = true;
    calls_.push_back(call);
    return true;
  }

  std::vector<std::string> ExtraEnumerationPatterns() const override { return extra_patterns_; }

 private:
  static constexpr long kErrorInvalidHandle = 6;

  struct Entry {
    std::string url;
    std::string local_file;
    std::uint64_t size = 0;
  };
  struct Enumeration {
    std::vector<Entry> entries;
    std::size_t next = 0;
  };

  static std::uint32_t TypeOf(const std::string& url) {
    if (StartsWithIgnoringAsciiCase(url, "cookie:"))
      return kCookieCacheEntry;
    if (StartsWithIgnoringAsciiCase(url, "visited:"))
      return kUrlHistoryCacheEntry;
    return kNormalCacheEntry;
  }

  bool Matches(const std::string& url, const char* pattern) const {
    if (pattern != nullptr)
      return StartsWithIgnoringAsciiCase(url, pattern);
    return !default_content_only_ || TypeOf(url) == kNormalCacheEntry;
  }

  static bool Copy(const Entry& entry, void* buffer, std::uint32_t* size, long* error) {
    const std::size_t local_size = entry.local_file.empty() ? 0 : entry.local_file.size() + 1;
    const auto needed =
        static_cast<std::uint32_t>(sizeof(CacheEntryHeader) + entry.url.size() + 1 + local_size);
    if (buffer == nullptr || *size < needed) {
      *size = needed;
      *error = kErrorInsufficientBuffer;
      return false;
    }
    char* const bytes = static_cast<char*>(buffer);
    CacheEntryHeader header{};
    header.dwStructSize = sizeof(CacheEntryHeader);
    header.CacheEntryType = TypeOf(entry.url);
    header.lpszSourceUrlName = bytes + sizeof(CacheEntryHeader);
    std::memcpy(header.lpszSourceUrlName, entry.url.c_str(), entry.url.size() + 1);
    if (local_size != 0) {
      header.lpszLocalFileName = header.lpszSourceUrlName + entry.url.size() + 1;
      std::memcpy(header.lpszLocalFileName, entry.local_file.c_str(), local_size);
    }
    std::memcpy(bytes, &header, sizeof header);
    *size = needed;
    return true;
  }

  std::vector<Entry> entries_;
  std::set<std::string> local_files_;
  std::set<std::string> locked_;
  std::vector<std::string> extra_patterns_;
  bool default_content_only_ = false;
  std::map<CacheEnumHandle, Enumeration> enumerations_;
  CacheEnumHandle next_handle_ = 1;
  std::vector<Call> calls_;
};

}  // namespace larkspur::testing
