#include "platform/posix/posix_profile_folder.h"

#include "platform/posix/entry_removal.h"
#include "platform/posix/folder_identity.h"
#include "platform/posix/posix_file_to_read.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

namespace larkspur {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

bool IsRegularFile(int fd, const char* name) {
  struct stat state {};
  return ::fstatat(fd, name, &state, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(state.st_mode);
}

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::vector<std::string> Names(int folder_fd) {
  std::vector<std::string> names;
  const int listing_fd = ::dup(folder_fd);
  DIR* listing = listing_fd < 0 ? nullptr : ::fdopendir(listing_fd);
  if (listing == nullptr) {
    if (listing_fd >= 0)
      ::close(listing_fd);
    return names;
  }
  ::rewinddir(listing);
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..")
      names.push_back(name);
  }
  ::closedir(listing);
  return names;
}

// Firefox holds an fcntl lock on .parentlock, and keeps a "lock" link naming its process.
bool HeldByFirefox(int folder_fd) {
  UniqueFd lock(::openat(folder_fd, ".parentlock", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (lock) {
    struct flock query {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    // Only asks; taking the lock, even briefly, could make a starting Firefox give up.
    if (::fcntl(lock.get(), F_GETLK, &query) == 0 && query.l_type != F_UNLCK)
      return true;
  }
  char target[256];
  const ssize_t length = ::readlinkat(folder_fd, "lock", target, sizeof target - 1);
  if (length <= 0)
    return false;
  target[length] = '\0';
  const char* plus = std::strchr(target, '+');
  if (plus == nullptr)
    return false;
  const long pid = std::strtol(plus + 1, nullptr, 10);
  return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

class PosixProfileFolder final : public ProfileFolder {
 public:
  PosixProfileFolder(UniqueFd fd, std::string path, std::string name,
                     const FolderIdentity& identity, std::shared_ptr<PreviewLedger> preview)
      : fd_(std::move(fd)),
        path_(std::move(path)),
        name_(std::move(name)),
        identity_(std::to_string(identity.device) + ":" + std::to_string(identity.inode)),
        preview_(std::move(preview)) {}

  const std::string& Path() const override { return path_; }
  const std::string& Name() const override { return name_; }
  const std::string& Identity() const override { return identity_; }

  bool Exists(const std::string& name) override {
    struct stat state {};
    return IsPlainName(name) &&
           ::fstatat(fd_.get(), name.c_str(), &state, AT_SYMLINK_NOFOLLOW) == 0 &&
           !(preview_ && ClaimedAt(fd_.get(), name, *preview_));
  }

  std::vector<NamedRemoval> DeleteMatching(const std::string& subfolder,
                                           const std::string& pattern) override {
    std::vector<NamedRemoval> removals;
    UniqueFd folder = Subfolder(subfolder);
    if (!folder || pattern.empty())
      return removals;
    const std::string match = pattern == "*.*" ? "*" : pattern;
    const bool writable = FolderLetsEntriesGo(folder.get());
    for (const std::string& name : Names(folder.get())) {
      struct stat state {};
      if (::fnmatch(match.c_str(), name.c_str(), 0) != 0 ||
          ::fstatat(folder.get(), name.c_str(), &state, AT_SYMLINK_NOFOLLOW) != 0 ||
          S_ISDIR(state.st_mode))
        continue;
      const Removal removal = RemoveEntryAt(folder.get(), name, preview_.get(), writable);
      if (removal.outcome != Removal::Outcome::kAbsent)
        removals.push_back({name, removal});
    }
    return removals;
  }

  bool InUse() override { return HeldByFirefox(fd_.get()); }

  std::unique_ptr<FileToRead> OpenToRead(const std::string& name, bool* absent) override {
    return OpenFileToReadAt(fd_.get(), name, absent);
  }

  std::vector<std::string> List(const std::string& subfolder) override {
    UniqueFd folder = Subfolder(subfolder);
    return folder ? Names(folder.get()) : std::vector<std::string>{};
  }

  bool Rename(const std::string& subfolder, const std::string& from,
              const std::string& to) override {
    if (preview_)
      return true;
    UniqueFd folder = Subfolder(subfolder);
    return folder && IsPlainName(from) && IsPlainName(to) &&
           ::renameat2(folder.get(), from.c_str(), folder.get(), to.c_str(), RENAME_NOREPLACE) == 0;
  }

  bool WriteNew(const std::string& subfolder, const std::string& name,
                const std::string& contents) override {
    if (!IsPlainName(name) || !IsPlainName(subfolder))
      return false;
    if (preview_)
      return true;
    if (::mkdirat(fd_.get(), subfolder.c_str(), 0700) != 0 && errno != EEXIST)
      return false;
    UniqueFd folder = Subfolder(subfolder);
    if (!folder)
      return false;
    // The temporary name ends in ".tmp", which Firefox clears from its backup folder.
    const std::string temporary =
        ".larkspur-" + std::to_string(std::random_device{}()) + "-" + name + ".tmp";
    bool written = false;
    {
      UniqueFd file(::openat(folder.get(), temporary.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
      if (!file)
        return false;
      written = WriteAll(file.get(), contents) && ::fsync(file.get()) == 0;
    }
    if (written && ::renameat2(folder.get(), temporary.c_str(), folder.get(), name.c_str(),
                               RENAME_NOREPLACE) == 0) {
      ::fsync(folder.get());  // the rename itself on disk; the file is complete either way
      return true;
    }
    ::unlinkat(folder.get(), temporary.c_str(), 0);
    return false;
  }

 private:
  UniqueFd Subfolder(const std::string& subfolder) const {
    if (subfolder.empty())
      return UniqueFd(::dup(fd_.get()));
    if (!IsPlainName(subfolder))
      return UniqueFd();
    return UniqueFd(::openat(fd_.get(), subfolder.c_str(), kFolderFlags));
  }

  UniqueFd fd_;
  std::string path_;
  std::string name_;
  std::string identity_;
  std::shared_ptr<PreviewLedger> preview_;
};

}  // namespace

std::unique_ptr<ProfileFolder> PosixProfileFolders::OpenMarked(const std::string& base,
                                                               const std::string& entry,
                                                               bool relative,
                                                               std::span<const char* const> markers,
                                                               std::string* refusal) {
  const std::string start = relative ? base : "/";
  if (start.empty() || start.front() != '/' ||
      (!relative && (entry.empty() || entry.front() != '/')))
    return nullptr;
  // The base folder may itself be a link (a user's choice); below it, no step may be.
  UniqueFd fd(::open(start.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  std::string path = start;
  std::string name = start.substr(start.find_last_of('/') + 1);
  for (const std::string& step : ProfilePathSteps(entry)) {
    if (!fd)
      return nullptr;
    if (step == "..") {
      Refuse(refusal, kProfileHasDotDot);
      return nullptr;
    }
    UniqueFd next(::openat(fd.get(), step.c_str(), kFolderFlags));
    if (!next) {
      const int error = errno;
      struct stat state {};
      if (::fstatat(fd.get(), step.c_str(), &state, AT_SYMLINK_NOFOLLOW) == 0)
        Refuse(refusal, S_ISLNK(state.st_mode)   ? kProfileIsLink
                        : S_ISDIR(state.st_mode) ? kProfileUnreadable
                                                 : kProfileNotFolder);
      else if (error != ENOENT)
        Refuse(refusal, kProfileUnreadable);
      return nullptr;
    }
    fd = std::move(next);
    path += (path.back() == '/' ? "" : "/") + step;
    name = step;
  }
  if (!fd)
    return nullptr;

  const std::optional<FolderIdentity> self = IdentityOf(fd.get());
  const std::optional<FolderIdentity> parent = IdentityAt(fd.get(), "..");
  if (!self || !parent || self->SameObject(*parent) || !self->SameMount(*parent)) {
    Refuse(refusal, kProfileIsRoot);
    return nullptr;
  }
  if (ProtectedFolders(homes_).Holds(*self)) {
    Refuse(refusal, kProfileIsHome);
    return nullptr;
  }
  if (std::none_of(markers.begin(), markers.end(),
                   [&](const char* marker) { return IsRegularFile(fd.get(), marker); })) {
    // An empty folder (Firefox makes one for a profile never used) holds nothing that stays.
    if (!Names(fd.get()).empty())
      Refuse(refusal, NotAProfile(markers));
    return nullptr;
  }
  return std::make_unique<PosixProfileFolder>(std::move(fd), path, name, *self, preview_);
}

}  // namespace larkspur
