#pragma once
// What a folder is, taken from an open descriptor rather than from a path that could be
// resolved differently a moment later.
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace larkspur {

struct FolderIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  // The mount the folder was reached through; bind mounts of one file system share the device
  // but not this. Empty where the kernel cannot tell.
  std::optional<std::uint64_t> mount;

  bool SameObject(const FolderIdentity& other) const {
    return device == other.device && inode == other.inode;
  }
  // Whether both lie on one mount: same device, and same mount where both are known.
  bool SameMount(const FolderIdentity& other) const {
    return device == other.device && (!mount || !other.mount || *mount == *other.mount);
  }
};

// Of an open descriptor; nullopt when it cannot be examined.
std::optional<FolderIdentity> IdentityOf(int fd);
// Of the entry `name` in the folder `folder_fd`, without following a link there.
std::optional<FolderIdentity> IdentityAt(int folder_fd, const char* name);

// The folders a sweep must never touch: each home folder and every folder above it up to "/".
class ProtectedFolders {
 public:
  // Paths that are empty or relative protect nothing; the others are opened (following links,
  // so the folder itself is what counts) and walked up through "..".
  explicit ProtectedFolders(const std::vector<std::string>& homes);
  bool Holds(const FolderIdentity& folder) const;

 private:
  std::vector<FolderIdentity> folders_;
};

// The home folder the account database gives, whatever HOME says; empty when there is none.
std::string AccountHomeFolder();

}  // namespace larkspur
