#include "iecleanup/ie_history.h"

#include <cstdint>
#include <string>

#include "cleanup/folder_sweep.h"
#include "iecleanup/memory_block.h"
#include "iecleanup/registry1.h"

namespace larkspur {

namespace {

bool IsCookieEntry(const std::string& url) {
  return url.compare(0, 6, "Cookie") == 0;
}

// The entry's source URL, read only from inside the entry buffer; empty when the header names
// none or points elsewhere.
std::string SourceUrl(MemoryBlock& entry) {
  CacheEntryHeader header{};
  entry.ReadFrom(&header, sizeof header);
  const auto start = reinterpret_cast<std::uintptr_t>(entry.Handle());
  const auto url = reinterpret_cast<std::uintptr_t>(header.lpszSourceUrlName);
  const auto end = start + static_cast<std::uintptr_t>(entry.Size());
  if (start == 0 || url < start || url >= end)
    return "";
  return entry.ExtractString(header.lpszSourceUrlName, static_cast<std::int32_t>(end - url));
}

}  // namespace

void IEHistory::Load_IECacheEntries() {
  std::unordered_set<std::string> seen;
  EnumerateCache(nullptr, seen);
  for (const std::string& pattern : ports_.url_cache.ExtraEnumerationPatterns())
    EnumerateCache(pattern.c_str(), seen);
}

// One enumeration in the cache's two-call shape: ask for an entry's size, then fetch it into a
// buffer of exactly that size.
void IEHistory::EnumerateCache(const char* pattern, std::unordered_set<std::string>& seen) {
  MemoryBlock entry(ports_.memory);
  auto classify = [&] {
    const std::string url = SourceUrl(entry);
    if (url.empty() || !seen.insert(url).second)
      return;
    (IsCookieEntry(url) ? List3_ : List2_).push_back(url);
  };

  long error = 0;
  std::uint32_t size = 0;
  ports_.url_cache.FindFirstEntry(pattern, nullptr, &size, &error);
  CacheEnumHandle handle = 0;
  if (static_cast<std::int32_t>(size) > 0) {
    entry.Allocate(static_cast<std::int32_t>(size));
    handle = ports_.url_cache.FindFirstEntry(pattern, entry.Handle(), &size, &error);
    classify();
  }
  while (handle != 0) {
    size = 0;
    ports_.url_cache.FindNextEntry(handle, nullptr, &size, &error);
    if (static_cast<std::int32_t>(size) <= 0)
      break;
    entry.Allocate(static_cast<std::int32_t>(size));
    ports_.url_cache.FindNextEntry(handle, entry.Handle(), &size, &error);
    classify();
  }
  ports_.url_cache.FindClose(handle);
}

Removal IEHistory::DeleteCacheEntry(const std::string& url) {
  return ports_.url_cache.DeleteEntry(url);
}

// The whole list goes in one batch, and only what the cache has made lasting is shown and
// counted: a line on the status line is never followed by a crash that brings the entry back.
void IEHistory::DeleteListOnce(const std::vector<std::string>& list, bool& done) {
  if (done)
    return;
  std::vector<Removal> removals;
  removals.reserve(list.size());
  for (const std::string& url : list)
    removals.push_back(DeleteCacheEntry(url));
  const bool lasting = ports_.url_cache.Commit();
  for (std::size_t index = 0; index < list.size(); ++index) {
    if (lasting || !removals[index].WasRemoved())
      ports_.record.Count(list[index], removals[index]);
    else
      ports_.record.Stayed(list[index], StayReason::kAccessRefused);
  }
  done = true;
}

void IEHistory::SweepShellFolder(const std::string& name) {
  // An empty or relative lookup result is refused by the sweep itself.
  SweepFolder(ports_.folders, ports_.record, GetShellFolder(ports_.registry, name));
}

void IEHistory::Delete_IETempFiles() {
  DeleteListOnce(List2_, CacheListDone_);
  SweepShellFolder("Cache");
}

void IEHistory::Delete_IECookies() {
  DeleteListOnce(List3_, CookieListDone_);
  SweepShellFolder("Cookies");
}

// Visits url1 to url100 whatever is missing; a value too long to read is deleted and shown by
// its name.
void IEHistory::Delete_IETypedUrls() {
  for (int number = 1; number <= kTypedUrlCount; ++number) {
    const std::string name = "url" + std::to_string(number);
    const std::string url =
        GetFromRegistry(ports_.registry, kHkeyCurrentUser, kTypedUrlsKey, name, "");
    ports_.record.Count(url.empty() ? name : url,
                        DeleteFromRegistry(ports_.registry, kHkeyCurrentUser, kTypedUrlsKey, name));
  }
}

void IEHistory::Delete_IEHistory() {
  StayReason why = StayReason::kAccessRefused;
  if (!ports_.url_history.ClearHistory(&why))
    ports_.record.Stayed("URL history", why);
  SweepShellFolder("History");
}

}  // namespace larkspur
