#include "platform/posix/folder_identity.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "platform/path_text.h"
#include "platform/posix/unique_fd.h"

namespace larkspur {

namespace {

// Deeper than any real home folder; ends a walk up in a file system that loops.
constexpr int kMaxLevelsAboveHome = 4096;

// Kernels before 5.8 have no mount ID in statx; /proc has given it since 3.15.
std::optional<std::uint64_t> MountIdFromProc(int fd) {
  char name[64];
  std::snprintf(name, sizeof name, "/proc/self/fdinfo/%d", fd);
  std::FILE* info = std::fopen(name, "re");
  if (info == nullptr)
    return std::nullopt;
  std::optional<std::uint64_t> mount;
  char line[256];
  unsigned long long value = 0;
  while (std::fgets(line, sizeof line, info) != nullptr) {
    if (std::sscanf(line, "mnt_id: %llu", &value) == 1) {
      mount = value;
      break;
    }
  }
  std::fclose(info);
  return mount;
}

}  // namespace

std::optional<FolderIdentity> IdentityOf(int fd) {
  struct statx state {};
  if (::statx(fd, "", AT_EMPTY_PATH, STATX_TYPE | STATX_INO | STATX_MNT_ID, &state) != 0)
    return std::nullopt;
  FolderIdentity identity;
  identity.device = ::makedev(state.stx_dev_major, state.stx_dev_minor);
  identity.inode = state.stx_ino;
  if ((state.stx_mask & STATX_MNT_ID) != 0)
    identity.mount = state.stx_mnt_id;
  else
    identity.mount = MountIdFromProc(fd);
  return identity;
}

std::optional<FolderIdentity> IdentityAt(int folder_fd, const char* name) {
  const UniqueFd entry(::openat(folder_fd, name, O_PATH | O_NOFOLLOW | O_CLOEXEC));
  return entry ? IdentityOf(entry.get()) : std::nullopt;
}

ProtectedFolders::ProtectedFolders(const std::vector<std::string>& homes) {
  for (const std::string& home : homes) {
    if (!IsAbsolutePath(home))
      continue;
    UniqueFd folder(::open(home.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    for (int level = 0; folder && level < kMaxLevelsAboveHome; ++level) {
      const std::optional<FolderIdentity> identity = IdentityOf(folder.get());
      if (!identity || Holds(*identity))
        break;  // "/" is its own parent; a folder met before has its ancestors listed already
      folders_.push_back(*identity);
      folder = UniqueFd(::openat(folder.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
    }
  }
}

bool ProtectedFolders::Holds(const FolderIdentity& folder) const {
  return std::any_of(folders_.begin(), folders_.end(), [&](const FolderIdentity& protected_folder) {
    return protected_folder.SameObject(folder);
  });
}

std::string AccountHomeFolder() {
  const passwd* account = ::getpwuid(::getuid());
  return account != nullptr && account->pw_dir != nullptr ? account->pw_dir : "";
}

}  // namespace larkspur
