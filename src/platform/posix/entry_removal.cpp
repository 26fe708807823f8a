#include "platform/posix/entry_removal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace larkspur {

namespace {

std::string FileIdentity(const struct stat& state) {
  return std::to_string(state.st_dev) + ':' + std::to_string(state.st_ino);
}

// A name in a folder, whatever path reached the folder.
std::string NameIdentity(int folder_fd, const std::string& name) {
  struct stat folder {};
  if (::fstat(folder_fd, &folder) != 0)
    return {};
  return FileIdentity(folder) + '/' + name;
}

// The disk space a file takes (a sparse file's holes take none), freed with its last name.
std::uint64_t SpaceFreed(const struct stat& state, std::uint64_t names_left) {
  return names_left <= 1 ? static_cast<std::uint64_t>(state.st_blocks) * 512 : 0;
}

StayReason ReasonOf(int error) {
  return error == EBUSY || error == ETXTBSY ? StayReason::kInUse : StayReason::kAccessRefused;
}

}  // namespace

Removal RemoveEntryAt(int folder_fd, const std::string& name, PreviewLedger* preview,
                      bool folder_writable) {
  struct stat state {};
  if (::fstatat(folder_fd, name.c_str(), &state, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? Removal::Absent() : Removal::Kept(StayReason::kAccessRefused);
  if (preview != nullptr) {
    const std::string entry = NameIdentity(folder_fd, name);
    if (entry.empty() || preview->Claimed(entry))
      return Removal::Absent();
    if (S_ISDIR(state.st_mode) || !folder_writable)
      return Removal::Kept(StayReason::kAccessRefused);
    preview->Claim(entry);
    const std::uint64_t gone = preview->NameGone(FileIdentity(state));
    const std::uint64_t links = state.st_nlink;
    return Removal::Removed(SpaceFreed(state, gone >= links ? 1 : links - gone + 1));
  }
  if (::unlinkat(folder_fd, name.c_str(), 0) == 0)
    return Removal::Removed(SpaceFreed(state, state.st_nlink));
  return errno == ENOENT ? Removal::Absent() : Removal::Kept(ReasonOf(errno));
}

bool ClaimedAt(int folder_fd, const std::string& name, const PreviewLedger& preview) {
  return preview.Claimed(NameIdentity(folder_fd, name));
}

bool FolderLetsEntriesGo(int folder_fd) {
  return ::faccessat(folder_fd, ".", W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace larkspur
