#pragma once
// The URL cache on Linux: a text file with one entry a line, the source URL, then optionally a
// tab and the absolute path of the entry's local file. Enumeration and deletion answer in the
// shape of the wininet calls, so the core drives it exactly like the real cache.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "platform/url_cache.h"

namespace larkspur {

class TsvUrlCache final : public UrlCachePort {
 public:
  explicit TsvUrlCache(std::string file_path);

  CacheEnumHandle FindFirstEntry(const char* pattern, void* entry, std::uint32_t* size,
                                 long* error) override;
  bool FindNextEntry(CacheEnumHandle handle, void* entry, std::uint32_t* size,
                     long* error) override;
  bool FindClose(CacheEnumHandle handle) override;
  bool DeleteEntry(const std::string& url) override;
  // The default enumeration already returns cookie and history entries.
  std::vector<std::string> ExtraEnumerationPatterns() const override { return {}; }

 private:
  struct Entry {
    std::string url;
    std::string local_file;  // empty: none
  };
  struct Enumeration {
    std::vector<Entry> entries;
    std::size_t next = 0;
  };

  std::string file_path_;
  std::map<CacheEnumHandle, Enumeration> enumerations_;
  CacheEnumHandle next_handle_ = 1;
};

}  // namespace larkspur
