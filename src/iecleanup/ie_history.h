#pragma once
// Internet Explorer's traces: the URL cache's entries, the URL history, the typed addresses and
// the History, Cache and Cookies folders.
#include <string>
#include <unordered_set>
#include <vector>

#include "cleanup/run_record.h"
#include "platform/folder_tree.h"
#include "platform/memory.h"
#include "platform/registry.h"
#include "platform/url_cache.h"
#include "platform/url_history.h"

namespace larkspur {

inline constexpr char kTypedUrlsKey[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs\\";
inline constexpr int kTypedUrlCount = 100;

struct IECleanupPorts {
  RegistryPort& registry;
  UrlCachePort& url_cache;
  UrlHistoryPort& url_history;
  MemoryPort& memory;
  FolderTree& folders;
  RunRecord& record;  // what each deletion did
};

// Lives as long as the main window: the cache lists are deleted through the cache once per
// process, later runs only sweep the folders.
class IEHistory {
 public:
  // List2 (cache entries) and List3 (cookie entries) are the window's hidden lists.
  IEHistory(IECleanupPorts ports, std::vector<std::string>& List2, std::vector<std::string>& List3)
      : ports_(ports), List2_(List2), List3_(List3) {}

  // Lists every URL-cache entry: cookie entries into List3, all others into List2.
  void Load_IECacheEntries();

  void Delete_IEHistory();
  void Delete_IETempFiles();
  void Delete_IETypedUrls();
  void Delete_IECookies();

  // What the cache answered for the entry.
  Removal DeleteCacheEntry(const std::string& url);

  bool CacheListDone() const { return CacheListDone_; }
  bool CookieListDone() const { return CookieListDone_; }

 private:
  void EnumerateCache(const char* pattern, std::unordered_set<std::string>& seen);
  void DeleteListOnce(const std::vector<std::string>& list, bool& done);
  void SweepShellFolder(const std::string& name);

  IECleanupPorts ports_;
  std::vector<std::string>& List2_;
  std::vector<std::string>& List3_;
  bool CacheListDone_ = false;
  bool CookieListDone_ = false;
};

}  // namespace larkspur
