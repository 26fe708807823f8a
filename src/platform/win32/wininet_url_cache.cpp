#include "platform/win32/wininet_url_cache.h"

#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/file_identity.h"
#include "platform/win32/win32_folder_tree.h"

namespace larkspur {

namespace {

// The caller's buffer goes to wininet as it is.
static_assert(sizeof(CacheEntryHeader) == sizeof(INTERNET_CACHE_ENTRY_INFOA));
static_assert(sizeof(CacheFileTime) == sizeof(FILETIME));
#define LARKSPUR_SAME_OFFSET(field) \
  static_assert(offsetof(CacheEntryHeader, field) == offsetof(INTERNET_CACHE_ENTRY_INFOA, field))
LARKSPUR_SAME_OFFSET(dwStructSize);
LARKSPUR_SAME_OFFSET(lpszSourceUrlName);
LARKSPUR_SAME_OFFSET(lpszLocalFileName);
LARKSPUR_SAME_OFFSET(CacheEntryType);
LARKSPUR_SAME_OFFSET(dwUseCount);
LARKSPUR_SAME_OFFSET(dwHitRate);
LARKSPUR_SAME_OFFSET(dwSizeLow);
LARKSPUR_SAME_OFFSET(dwSizeHigh);
LARKSPUR_SAME_OFFSET(LastModifiedTime);
LARKSPUR_SAME_OFFSET(ExpireTime);
LARKSPUR_SAME_OFFSET(LastAccessTime);
LARKSPUR_SAME_OFFSET(LastSyncTime);
LARKSPUR_SAME_OFFSET(lpHeaderInfo);
LARKSPUR_SAME_OFFSET(dwHeaderInfoSize);
LARKSPUR_SAME_OFFSET(lpszFileExtension);
LARKSPUR_SAME_OFFSET(dwReserved);
LARKSPUR_SAME_OFFSET(dwExemptDelta);
#undef LARKSPUR_SAME_OFFSET

static_assert(kErrorInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER);
static_assert(kErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(kNormalCacheEntry == NORMAL_CACHE_ENTRY);
static_assert(kCookieCacheEntry == COOKIE_CACHE_ENTRY);
static_assert(kUrlHistoryCacheEntry == URLHISTORY_CACHE_ENTRY);

void SetError(long* error, DWORD value) {
  if (error != nullptr)
    *error = static_cast<long>(value);
}

// One wininet call that fills an entry buffer. With no buffer it is a size query whatever *size
// holds: Wine takes a non-zero size as leave to write the header, and does so into the null
// buffer.
template <typename Call>
bool FillEntry(void* entry, std::uint32_t* size, long* error, Call call) {
  if (size == nullptr) {
    SetError(error, ERROR_INVALID_PARAMETER);
    return false;
  }
  DWORD bytes = entry != nullptr ? *size : 0;
  if (call(static_cast<INTERNET_CACHE_ENTRY_INFOA*>(entry), &bytes)) {
    *size = bytes;
    return true;
  }
  const DWORD reason = ::GetLastError();
  if (entry != nullptr || reason == ERROR_INSUFFICIENT_BUFFER)
    *size = bytes;
  SetError(error, reason);
  return false;
}

HANDLE ToHandle(CacheEnumHandle handle) {
  return reinterpret_cast<HANDLE>(handle);
}

struct EntryFacts {
  std::uint64_t bytes = 0;  // of the local file
  bool locked = false;      // in use by a wininet caller
  std::string local_file;   // in the ANSI code page; empty for none
};

std::optional<EntryFacts> Look(const std::string& url) {
  DWORD size = 0;  // a size query: see FillEntry
  if (::GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size) ||
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
    return std::nullopt;
  std::vector<std::uint64_t> buffer(size / sizeof(std::uint64_t) + 1);
  auto* info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
  size = static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t));
  if (!::GetUrlCacheEntryInfoA(url.c_str(), info, &size))
    return std::nullopt;
  EntryFacts facts;
  facts.bytes = (std::uint64_t{info->dwSizeHigh} << 32) | info->dwSizeLow;
  facts.locked = info->dwUseCount > 0;
  if (info->lpszLocalFileName != nullptr)
    facts.local_file = info->lpszLocalFileName;
  return facts;
}

// The ledger's name for the local file, when deleting the entry would take it along: it must
// not be read-only, nor held without delete sharing.
std::string LocalFileToGo(const std::string& local_file) {
  const std::wstring full = win32::FullPath(Utf8FromAnsi(local_file));
  if (full.empty())
    return {};
  const std::wstring path = win32::LongPath(full);
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0)
    return {};
  return win32::IdentityTextAt(path, DELETE | FILE_READ_ATTRIBUTES);
}

}  // namespace

WininetUrlCache::~WininetUrlCache() {
  for (const CacheEnumHandle handle : open_)
    ::FindCloseUrlCache(ToHandle(handle));
}

CacheEnumHandle WininetUrlCache::FindFirstEntry(const char* pattern, void* entry,
                                                std::uint32_t* size, long* error) {
  HANDLE handle = nullptr;
  FillEntry(entry, size, error, [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* bytes) {
    handle = ::FindFirstUrlCacheEntryA(pattern, info, bytes);
    return handle != nullptr;
  });
  if (handle == nullptr)
    return 0;
  const auto id = reinterpret_cast<CacheEnumHandle>(handle);
  try {
    open_.insert(id);
  } catch (...) {
    ::FindCloseUrlCache(handle);
    SetError(error, ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  return id;
}

bool WininetUrlCache::FindNextEntry(CacheEnumHandle handle, void* entry, std::uint32_t* size,
                                    long* error) {
  if (open_.count(handle) == 0) {
    SetError(error, ERROR_INVALID_HANDLE);
    return false;
  }
  return FillEntry(entry, size, error, [&](INTERNET_CACHE_ENTRY_INFOA* info, DWORD* bytes) {
    return ::FindNextUrlCacheEntryA(ToHandle(handle), info, bytes) != FALSE;
  });
}

bool WininetUrlCache::FindClose(CacheEnumHandle handle) {
  if (open_.erase(handle) == 0)
    return false;
  return ::FindCloseUrlCache(ToHandle(handle)) != FALSE;
}

Removal WininetUrlCache::DeleteEntry(const std::string& url) {
  const std::optional<EntryFacts> facts = Look(url);
  if (preview_) {
    const std::string entry = "url-cache:" + url;
    if (!facts || preview_->Claimed(entry))
      return Removal::Absent();
    if (facts->locked)
      return Removal::Kept(StayReason::kInUse);
    preview_->Claim(entry);
    // The sweep of the cache folder that follows finds it gone, as after a run.
    if (const std::string file = LocalFileToGo(facts->local_file); !file.empty())
      preview_->Claim(file);
    return Removal::Removed(facts->bytes);
  }
  if (::DeleteUrlCacheEntryA(url.c_str()))
    return Removal::Removed(facts ? facts->bytes : 0);
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND)
    return Removal::Absent();
  // Wine answers a locked entry with a sharing violation, Windows with access denied.
  return Removal::Kept(error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED
                           ? StayReason::kInUse
                           : StayReason::kAccessRefused);
}

}  // namespace larkspur
