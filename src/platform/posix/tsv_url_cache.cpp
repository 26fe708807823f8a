#include "platform/posix/tsv_url_cache.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/ascii_case.h"
#include "platform/path_text.h"
#include "platform/posix/store_file.h"

namespace larkspur {

namespace {

constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorNotEnoughMemory = 8;
constexpr long kErrorInvalidParameter = 87;

void SetError(long* error, long value) {
  if (error != nullptr)
    *error = value;
}

std::uint32_t EntryTypeOf(std::string_view url) {
  if (StartsWithIgnoringAsciiCase(url, "cookie:"))
    return kCookieCacheEntry;
  if (StartsWithIgnoringAsciiCase(url, "visited:"))
    return kUrlHistoryCacheEntry;
  return kNormalCacheEntry;
}

// One readable entry line. [begin, end) covers the line with its newline, so a deletion can
// splice the file without touching any other byte.
struct EntryLine {
  std::size_t begin;
  std::size_t end;
  std::string url;
  std::string local_file;
};

struct ParsedFile {
  std::vector<EntryLine> entries;
  bool damaged = false;
};

bool IsControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t') || byte == 0x7f;
}

ParsedFile Parse(const std::string& text) {
  ParsedFile parsed;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t newline = text.find('\n', begin);
    const std::size_t content_end = newline == std::string::npos ? text.size() : newline;
    const std::size_t end = newline == std::string::npos ? text.size() : newline + 1;
    const std::string_view line(text.data() + begin, content_end - begin);
    const std::size_t line_begin = std::exchange(begin, end);
    if (line.empty())
      continue;

    // NUL, CR and the like never belong in a URL or a path: whoever wrote them did not write
    // this format, so the line's meaning is unknown.
    bool readable = std::none_of(line.begin(), line.end(), IsControl);
    const std::size_t tab = line.find('\t');
    const std::string_view url = line.substr(0, tab);
    std::string_view local_file;
    if (tab != std::string_view::npos) {
      local_file = line.substr(tab + 1);
      if (local_file.empty() || local_file.find('\t') != std::string_view::npos)
        readable = false;
    }
    if (url.empty())
      readable = false;
    if (!readable) {
      parsed.damaged = true;
      continue;
    }
    parsed.entries.push_back({line_begin, end, std::string(url), std::string(local_file)});
  }
  return parsed;
}

// Writes the entry the way INTERNET_CACHE_ENTRY_INFOA comes back: the header, then the strings
// it points to, all inside the caller's buffer. The buffer need not be aligned for the header.
bool CopyEntry(const std::string& url, const std::string& local_file, void* buffer,
               std::uint32_t* size, long* error) {
  const std::size_t needed =
      sizeof(CacheEntryHeader) + url.size() + 1 + (local_file.empty() ? 0 : local_file.size() + 1);
  if (needed > std::numeric_limits<std::uint32_t>::max()) {
    SetError(error, kErrorNotEnoughMemory);
    return false;
  }
  if (buffer == nullptr || *size < needed) {
    *size = static_cast<std::uint32_t>(needed);
    SetError(error, kErrorInsufficientBuffer);
    return false;
  }
  char* const bytes = static_cast<char*>(buffer);
  char* next = bytes + sizeof(CacheEntryHeader);
  CacheEntryHeader header{};
  header.dwStructSize = sizeof(CacheEntryHeader);
  header.CacheEntryType = EntryTypeOf(url);
  header.lpszSourceUrlName = next;
  std::memcpy(next, url.c_str(), url.size() + 1);
  next += url.size() + 1;
  if (!local_file.empty()) {
    header.lpszLocalFileName = next;
    std::memcpy(next, local_file.c_str(), local_file.size() + 1);
  }
  std::memcpy(bytes, &header, sizeof header);
  *size = static_cast<std::uint32_t>(needed);
  return true;
}

// The names leading from `folder` down to `path`, or nullopt when `path` does not lie below it
// or takes a detour ("..", ".", an empty name).
std::optional<std::vector<std::string>> NamesBelow(const std::string& path, std::string folder) {
  while (folder.size() > 1 && folder.back() == '/')
    folder.pop_back();
  if (!IsAbsolutePath(folder) || !path.starts_with(folder) || path.size() <= folder.size() + 1 ||
      (folder != "/" && path[folder.size()] != '/'))
    return std::nullopt;
  std::vector<std::string> names;
  std::size_t begin = folder == "/" ? 1 : folder.size() + 1;
  for (;;) {
    const std::size_t slash = path.find('/', begin);
    std::string name = path.substr(begin, slash == std::string::npos ? slash : slash - begin);
    if (name.empty() || name == "." || name == "..")
      return std::nullopt;
    names.push_back(std::move(name));
    if (slash == std::string::npos)
      return names;
    begin = slash + 1;
  }
}

}  // namespace

TsvUrlCache::TsvUrlCache(std::string file_path, std::unique_ptr<FolderTree> folders,
                         std::function<std::vector<std::string>()> cache_folders, bool preview)
    : file_path_(std::move(file_path)),
      preview_(preview),
      folders_(std::move(folders)),
      cache_folders_(std::move(cache_folders)) {}

TsvUrlCache::~TsvUrlCache() {
  Commit();
}

CacheEnumHandle TsvUrlCache::FindFirstEntry(const char* pattern, void* entry, std::uint32_t* size,
                                            long* error) {
  if (size == nullptr) {
    SetError(error, kErrorInvalidParameter);
    return 0;
  }
  try {
    // A missing file is an empty cache; a damaged one answers as far as it was read.
    const std::optional<StoreText> store = ReadStore(file_path_);
    const ParsedFile parsed = Parse(store ? store->text : std::string());
    Enumeration enumeration;
    for (const EntryLine& line : parsed.entries) {
      if ((pattern == nullptr || StartsWithIgnoringAsciiCase(line.url, pattern)) &&
          !deleted_.contains(line.url))
        enumeration.entries.push_back({line.url, line.local_file});
    }
    if (enumeration.entries.empty()) {
      SetError(error, kErrorNoMoreItems);
      return 0;
    }
    const Entry& first = enumeration.entries.front();
    if (!CopyEntry(first.url, first.local_file, entry, size, error))
      return 0;
    enumeration.next = 1;
    const CacheEnumHandle handle = next_handle_++;
    enumerations_.emplace(handle, std::move(enumeration));
    return handle;
  } catch (...) {
    SetError(error, kErrorNotEnoughMemory);
    return 0;
  }
}

bool TsvUrlCache::FindNextEntry(CacheEnumHandle handle, void* entry, std::uint32_t* size,
                                long* error) {
  if (size == nullptr) {
    SetError(error, kErrorInvalidParameter);
    return false;
  }
  try {
    const auto found = enumerations_.find(handle);
    if (found == enumerations_.end()) {
      SetError(error, kErrorInvalidHandle);
      return false;
    }
    Enumeration& enumeration = found->second;
    if (enumeration.next >= enumeration.entries.size()) {
      SetError(error, kErrorNoMoreItems);
      return false;
    }
    const Entry& next = enumeration.entries[enumeration.next];
    // Only a delivered entry moves the enumeration on: after a size query the caller asks again.
    if (!CopyEntry(next.url, next.local_file, entry, size, error))
      return false;
    ++enumeration.next;
    return true;
  } catch (...) {
    SetError(error, kErrorNotEnoughMemory);
    return false;
  }
}

bool TsvUrlCache::FindClose(CacheEnumHandle handle) {
  try {
    return enumerations_.erase(handle) == 1;
  } catch (...) {
    return false;
  }
}

Removal TsvUrlCache::DeleteEntry(const std::string& url) {
  try {
    if (deleted_.contains(url))
      return Removal::Absent();
    if (!snapshot_) {
      const std::optional<StoreText> store = ReadStore(file_path_);
      const ParsedFile parsed = Parse(store ? store->text : std::string());
      Snapshot snapshot;
      snapshot.damaged = !store || store->damaged || parsed.damaged;
      for (const EntryLine& line : parsed.entries)
        snapshot.local_files[line.url].push_back(line.local_file);
      snapshot.cache_folders = cache_folders_();
      snapshot_ = std::move(snapshot);
    }
    // Rewriting a damaged file would drop the lines that could not be read.
    if (snapshot_->damaged)
      return Removal::Kept(StayReason::kNotFound);
    const auto found = snapshot_->local_files.find(url);
    if (found == snapshot_->local_files.end())
      return Removal::Absent();
    // The local file goes first: should the list then fail to be written, the entry stays and a
    // later deletion finds its file gone, rather than a file lingering with no entry to find it.
    std::uint64_t bytes = 0;
    for (const std::string& local_file : found->second) {
      const Removal file = RemoveLocalFile(local_file);
      if (!file.Gone())
        return file;
      bytes += file.bytes;
    }
    deleted_.insert(url);
    return Removal::Removed(bytes);
  } catch (...) {
    return Removal::Kept(StayReason::kAccessRefused);
  }
}

Removal TsvUrlCache::RemoveLocalFile(const std::string& path) {
  if (path.empty())
    return Removal::Absent();
  for (const std::string& folder : snapshot_->cache_folders) {
    const std::optional<std::vector<std::string>> names = NamesBelow(path, folder);
    if (!names)
      continue;
    FolderCursor* const cursor = CursorAt(folder, *names);
    // Not reachable: gone, or behind a link or on another mount. A folder of that name is no
    // local file; a file that would not go keeps its entry.
    if (cursor == nullptr)
      return Removal::Absent();
    const Removal removal = cursor->DeleteFile(names->back());
    if (!removal.Gone() && cursor->Enter(names->back()) && cursor->Leave())
      return Removal::Absent();
    return removal;
  }
  return Removal::Absent();  // outside every cache folder: only the entry goes
}

// The local file's folder, reached the way a sweep of the cache folder reaches it, or nullptr.
// Cursors stay open for the batch, one per folder: opening and checking the cache folder again
// for every entry would cost more than the deletion.
FolderCursor* TsvUrlCache::CursorAt(const std::string& cache_folder,
                                    const std::vector<std::string>& names) {
  constexpr std::size_t kMaxOpenFolders = 32;
  std::string key = cache_folder;
  for (std::size_t index = 0; index + 1 < names.size(); ++index)
    key += '/' + names[index];
  auto& cursors = snapshot_->cursors;
  if (const auto found = cursors.find(key); found != cursors.end())
    return found->second.get();
  if (cursors.size() >= kMaxOpenFolders)
    cursors.clear();
  std::unique_ptr<FolderCursor> cursor = folders_->Open(cache_folder);
  for (std::size_t index = 0; cursor && index + 1 < names.size(); ++index) {
    if (!cursor->Enter(names[index]))
      cursor.reset();
  }
  return cursors.emplace(std::move(key), std::move(cursor)).first->second.get();
}

bool TsvUrlCache::Commit() {
  try {
    snapshot_.reset();
    if (deleted_.empty() || preview_) {
      deleted_.clear();
      return true;
    }
    const std::unordered_set<std::string> deleted = std::exchange(deleted_, {});
    LockedStore store(file_path_);
    if (!store.contents())
      return true;  // the file is gone, and every entry with it
    // Read again under the lock: another run may have changed the file since.
    const std::string& text = store.contents()->text;
    const ParsedFile parsed = Parse(text);
    if (parsed.damaged)
      return false;
    std::string kept;
    kept.reserve(text.size());
    std::size_t copied_up_to = 0;
    for (const EntryLine& line : parsed.entries) {
      if (!deleted.contains(line.url))
        continue;
      kept.append(text, copied_up_to, line.begin - copied_up_to);
      copied_up_to = line.end;
    }
    if (copied_up_to == 0)
      return true;  // another run deleted them already
    kept.append(text, copied_up_to, std::string::npos);
    return store.Replace(kept);
  } catch (...) {
    return false;
  }
}

}  // namespace larkspur
