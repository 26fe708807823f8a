#include "platform/posix/posix_file_patterns.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/unique_fd.h"

namespace larkspur {

namespace {

bool HasWildcards(const std::string& name) {
  return name.find_first_of("*?[") != std::string::npos;
}

bool IsDeletable(int folder_fd, const char* name) {
  struct stat state {};
  if (::fstatat(folder_fd, name, &state, AT_SYMLINK_NOFOLLOW) != 0)
    return false;
  return !S_ISDIR(state.st_mode);
}

}  // namespace

bool PosixFilePatterns::DeleteMatching(const std::string& path_pattern) {
  const std::size_t slash = path_pattern.rfind('/');
  if (slash == std::string::npos || path_pattern.front() != '/')
    return false;
  const std::string folder = slash == 0 ? "/" : path_pattern.substr(0, slash);
  std::string pattern = path_pattern.substr(slash + 1);
  if (pattern.empty())
    return false;
  if (pattern == "*.*")
    pattern = "*";

  // The folder's last component is opened without following a link, and every deletion is
  // relative to that descriptor, so nothing outside it can be reached.
  const UniqueFd folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!folder_fd)
    return false;

  if (!HasWildcards(pattern))
    return IsDeletable(folder_fd.get(), pattern.c_str()) &&
           ::unlinkat(folder_fd.get(), pattern.c_str(), 0) == 0;

  // Names first, deletions after: the listing is not disturbed by its own deletions.
  std::vector<std::string> matches;
  UniqueFd listing_fd(::dup(folder_fd.get()));
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(
      listing_fd ? ::fdopendir(listing_fd.get()) : nullptr, ::closedir);
  if (!listing)
    return false;
  listing_fd.release();  // the listing owns it now
  while (const dirent* entry = ::readdir(listing.get())) {
    const char* name = entry->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
      continue;
    if (::fnmatch(pattern.c_str(), name, 0) == 0)
      matches.emplace_back(name);
  }

  bool all_deleted = true;
  bool any_matched = false;
  for (const std::string& name : matches) {
    if (!IsDeletable(folder_fd.get(), name.c_str()))
      continue;
    any_matched = true;
    if (::unlinkat(folder_fd.get(), name.c_str(), 0) != 0)
      all_deleted = false;
  }
  return any_matched && all_deleted;
}

bool PosixFilePatterns::Exists(const std::string& path) {
  struct stat state {};
  return ::lstat(path.c_str(), &state) == 0;
}

bool PosixFilePatterns::IsFolder(const std::string& path) {
  struct stat state {};
  return ::stat(path.c_str(), &state) == 0 && S_ISDIR(state.st_mode);
}

}  // namespace larkspur
