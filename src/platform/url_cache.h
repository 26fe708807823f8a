#pragma once
// The URL cache's enumeration and deletion, in the shape of the wininet calls: the caller asks
// for an entry's size with no buffer, then fetches it into a buffer of exactly that size.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/removal.h"

namespace larkspur {

using CacheEnumHandle = std::uintptr_t;

struct CacheFileTime {
  std::uint32_t low;
  std::uint32_t high;
};

// INTERNET_CACHE_ENTRY_INFOA, field for field. Every pointer points into the same entry buffer,
// behind the header.
struct CacheEntryHeader {
  std::uint32_t dwStructSize;
  char* lpszSourceUrlName;
  char* lpszLocalFileName;
  std::uint32_t CacheEntryType;
  std::uint32_t dwUseCount;
  std::uint32_t dwHitRate;
  std::uint32_t dwSizeLow;
  std::uint32_t dwSizeHigh;
  CacheFileTime LastModifiedTime;
  CacheFileTime ExpireTime;
  CacheFileTime LastAccessTime;
  CacheFileTime LastSyncTime;
  char* lpHeaderInfo;
  std::uint32_t dwHeaderInfoSize;
  char* lpszFileExtension;
  union {
    std::uint32_t dwReserved;
    std::uint32_t dwExemptDelta;
  };
};

inline constexpr std::uint32_t kNormalCacheEntry = 0x00000001u;
inline constexpr std::uint32_t kCookieCacheEntry = 0x00100000u;
inline constexpr std::uint32_t kUrlHistoryCacheEntry = 0x00200000u;

inline constexpr long kErrorInsufficientBuffer = 122;
inline constexpr long kErrorNoMoreItems = 259;

class UrlCachePort {
 public:
  virtual ~UrlCachePort() = default;

  // FindFirstUrlCacheEntryA(pattern, entry, size). pattern may be null: the default enumeration.
  // With a buffer too small (or none) it returns 0 and sets *size to the bytes needed; with no
  // entries at all it returns 0 and leaves *size alone. *error receives the reason for a 0.
  virtual CacheEnumHandle FindFirstEntry(const char* pattern, void* entry, std::uint32_t* size,
                                         long* error) = 0;

  // FindNextUrlCacheEntryA(handle, entry, size), with the same two-call size query.
  virtual bool FindNextEntry(CacheEnumHandle handle, void* entry, std::uint32_t* size,
                             long* error) = 0;

  // FindCloseUrlCache(handle); closing handle 0 is allowed and does nothing.
  virtual bool FindClose(CacheEnumHandle handle) = 0;

  // DeleteUrlCacheEntryA(url): removes the entry and its local file. Removed comes with the
  // size of the local file (0 for an entry without one); absent when there is no such entry;
  // stayed when the entry is locked (in use) or the cache refused. A cache made for a preview
  // answers the same without deleting.
  virtual Removal DeleteEntry(const std::string& url) = 0;

  // Makes the deletions so far lasting. A store may hold them back until then, so that many
  // cost one rewrite; a crash before it may bring entries back, never their local files. Stores
  // that write at once have nothing to do. False when held-back deletions could not be written.
  virtual bool Commit() { return true; }

  // Patterns to enumerate after the default enumeration, for stores whose default enumeration
  // leaves out cookie and history entries (Windows returns only content entries there).
  virtual std::vector<std::string> ExtraEnumerationPatterns() const = 0;
};

}  // namespace larkspur
