#pragma once
// The URL cache on Linux: a text file with one entry a line, the source URL, then optionally a
// tab and the absolute path of the entry's local file. Enumeration and deletion answer in the
// shape of the wininet calls, so the core drives it exactly like the real cache.
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/folder_tree.h"
#include "platform/url_cache.h"

namespace larkspur {

class TsvUrlCache final : public UrlCachePort {
 public:
  // A local file is deleted only inside one of the folders `cache_folders` names, reached from
  // there through `folders` as a sweep reaches it; elsewhere only its entry goes. With
  // `preview` the file is never written, and `folders` must be made for the same preview.
  TsvUrlCache(std::string file_path, std::unique_ptr<FolderTree> folders,
              std::function<std::vector<std::string>()> cache_folders, bool preview = false);
  // Writes the deletions not yet committed.
  ~TsvUrlCache() override;

  CacheEnumHandle FindFirstEntry(const char* pattern, void* entry, std::uint32_t* size,
                                 long* error) override;
  bool FindNextEntry(CacheEnumHandle handle, void* entry, std::uint32_t* size,
                     long* error) override;
  bool FindClose(CacheEnumHandle handle) override;
  // Removes the local file at once; the entry goes from the file at the next Commit, and from
  // this store's enumerations at once.
  Removal DeleteEntry(const std::string& url) override;
  // One rewrite for every deletion since the last, under the store's lock and merged with what
  // other runs wrote meanwhile.
  bool Commit() override;
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
  // The file as read for the deletions since the last Commit: each URL's local files.
  struct Snapshot {
    std::unordered_map<std::string, std::vector<std::string>> local_files;
    std::vector<std::string> cache_folders;
    std::map<std::string, std::unique_ptr<FolderCursor>> cursors;  // by folder path
    bool damaged = false;
  };

  Removal RemoveLocalFile(const std::string& path);
  FolderCursor* CursorAt(const std::string& cache_folder, const std::vector<std::string>& names);

  std::string file_path_;
  bool preview_;
  std::unique_ptr<FolderTree> folders_;
  std::function<std::vector<std::string>()> cache_folders_;
  std::map<CacheEnumHandle, Enumeration> enumerations_;
  CacheEnumHandle next_handle_ = 1;
  std::optional<Snapshot> snapshot_;
  std::unordered_set<std::string> deleted_;  // not yet committed
};

}  // namespace larkspur
