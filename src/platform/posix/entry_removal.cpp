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

StayReason ReasonOf(int error) {
  return error == EBUSY || error == ETXTBSY ? StayReason::kInUse : StayReason::kAccessRefused;
}

}  // namespace

Removal RemoveEntryAt(int folder_fd, const std::string& name, PreviewLedger* preview,
                      bool folder_writable) {
  struct stat state {};
  if (::fstatat(folder_fd, name.c_str(), &state, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? Removal::Absent() : Removal::Kept(StayReason::kAccessRefused);
  const auto bytes = static_cast<std::uint64_t>(state.st_size);
  if (preview != nullptr) {
    if (preview->Claimed(FileIdentity(state)))
      return Removal::Absent();
    if (S_ISDIR(state.st_mode) || !folder_writable)
      return Removal::Kept(StayReason::kAccessRefused);
    preview->Claim(FileIdentity(state));
    return Removal::Removed(bytes);
  }
  if (::unlinkat(folder_fd, name.c_str(), 0) == 0)
    return Removal::Removed(bytes);
  return errno == ENOENT ? Removal::Absent() : Removal::Kept(ReasonOf(errno));
}

bool ClaimedAt(int folder_fd, const std::string& name, const PreviewLedger& preview) {
  struct stat state {};
  return ::fstatat(folder_fd, name.c_str(), &state, AT_SYMLINK_NOFOLLOW) == 0 &&
         preview.Claimed(FileIdentity(state));
}

bool FolderLetsEntriesGo(int folder_fd) {
  return ::faccessat(folder_fd, ".", W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace larkspur
