#include "platform/posix/posix_folder_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/path_text.h"

namespace larkspur {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Folders up to this depth keep their descriptors open while the walk is below them; deeper
// ones are reopened through "..". Keeps a very deep tree within the descriptor limit.
constexpr std::size_t kOpenAncestorDepth = 128;

bool IsHiddenName(const char* name) {
  return name[0] == '.';
}

bool SameFolder(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

class PosixFolderCursor final : public FolderCursor {
 public:
  PosixFolderCursor(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

  ~PosixFolderCursor() override {
    if (fd_ >= 0)
      ::close(fd_);
    for (const Level& level : parents_) {
      if (level.fd >= 0)
        ::close(level.fd);
    }
  }

  bool List(FolderListing* listing) override {
    listing->files.clear();
    listing->subfolders.clear();
    if (fd_ < 0 || ::lseek(fd_, 0, SEEK_SET) != 0)
      return false;
    alignas(dirent64) char buffer[32 * 1024];
    for (;;) {
      const ssize_t filled = ::getdents64(fd_, buffer, sizeof buffer);
      if (filled < 0) {
        listing->files.clear();
        listing->subfolders.clear();
        return false;
      }
      if (filled == 0)
        return true;
      for (ssize_t offset = 0; offset < filled;) {
        const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
        offset += entry->d_reclen;
        Classify(entry->d_name, entry->d_type, listing);
      }
    }
  }

  bool Enter(const std::string& name) override {
    if (fd_ < 0 || !IsPlainName(name))
      return false;
    const int child = ::openat(fd_, name.c_str(), kFolderFlags);
    if (child < 0)
      return false;
    Level level{fd_, {}, path_.size()};
    if (parents_.size() >= kOpenAncestorDepth) {
      // Remember who the parent is, so the way back through ".." can be checked.
      if (::fstat(fd_, &level.identity) != 0) {
        ::close(child);
        return false;
      }
      ::close(fd_);
      level.fd = -1;
    }
    parents_.push_back(level);
    fd_ = child;
    path_ += name;
    path_ += '/';
    return true;
  }

  bool Leave() override {
    if (fd_ < 0 || parents_.empty())
      return false;
    Level level = parents_.back();
    parents_.pop_back();
    if (level.fd < 0) {
      level.fd = ::openat(fd_, "..", kFolderFlags);
      struct stat reached {};
      if (level.fd < 0 || ::fstat(level.fd, &reached) != 0 ||
          !SameFolder(reached, level.identity)) {
        // The parent was moved or replaced meanwhile: stop rather than work somewhere else.
        if (level.fd >= 0)
          ::close(level.fd);
        ::close(fd_);
        fd_ = -1;
        return false;
      }
    }
    ::close(fd_);
    fd_ = level.fd;
    path_.resize(level.path_length);
    return true;
  }

  const std::string& Path() const override { return path_; }

  // A file's own mode never stops its deletion here; the folder's does.
  bool MakeArchiveOnly(const std::string& name) override {
    if (fd_ < 0)
      return false;
    if (!name.empty())
      return true;
    struct stat state {};
    if (::fstat(fd_, &state) != 0)
      return false;
    constexpr mode_t kOwnerAll = S_IRWXU;
    if ((state.st_mode & kOwnerAll) == kOwnerAll)
      return true;
    return ::fchmod(fd_, (state.st_mode & 07777) | kOwnerAll) == 0;
  }

  bool DeleteFile(const std::string& name) override {
    if (fd_ < 0 || !IsPlainName(name))
      return false;
    if (::unlinkat(fd_, name.c_str(), 0) == 0)
      return true;
    struct stat state {};
    return ::fstatat(fd_, name.c_str(), &state, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT;
  }

  bool RemoveFolder(const std::string& name) override {
    if (fd_ < 0 || !IsPlainName(name))
      return false;
    return ::unlinkat(fd_, name.c_str(), AT_REMOVEDIR) == 0;
  }

 private:
  struct Level {
    int fd;                // -1 once closed to save descriptors
    struct stat identity;  // set when fd was closed
    std::size_t path_length;
  };

  static bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
  }

  void Classify(const char* name, unsigned char type, FolderListing* listing) const {
    if (IsHiddenName(name))
      return;  // hidden by convention; "." and ".." too
    if (type == DT_UNKNOWN) {
      struct stat state {};
      if (::fstatat(fd_, name, &state, AT_SYMLINK_NOFOLLOW) != 0)
        return;
      if (S_ISREG(state.st_mode))
        type = DT_REG;
      if (S_ISLNK(state.st_mode))
        type = DT_LNK;
      if (S_ISDIR(state.st_mode))
        type = DT_DIR;
    }
    if (type == DT_REG || type == DT_LNK)
      listing->files.emplace_back(name);
    if (type == DT_DIR)
      listing->subfolders.emplace_back(name);
  }

  int fd_;
  std::string path_;
  std::vector<Level> parents_;
};

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

// Whether `folder` is `home` or one of its ancestors.
bool HoldsHome(const std::string& folder, const std::string& home) {
  if (home.empty())
    return false;
  char resolved_folder[PATH_MAX];
  char resolved_home[PATH_MAX];
  if (::realpath(folder.c_str(), resolved_folder) == nullptr)
    return true;
  if (::realpath(home.c_str(), resolved_home) == nullptr)
    return false;
  const std::string f = WithoutTrailingSlashes(resolved_folder);
  const std::string h = resolved_home;
  return h == f || (h.compare(0, f.size(), f) == 0 && (f == "/" || h[f.size()] == '/'));
}

// The root of a filesystem: "/" or any mount point.
bool IsFilesystemRoot(int fd) {
  struct stat self {};
  struct stat parent {};
  if (::fstat(fd, &self) != 0 || ::fstatat(fd, "..", &parent, 0) != 0)
    return true;
  return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

}  // namespace

std::unique_ptr<FolderCursor> PosixFolderTree::Open(const std::string& path) {
  if (!IsAbsolutePath(path))
    return nullptr;
  // A trailing slash would make the kernel follow a link at the last component.
  const std::string folder = WithoutTrailingSlashes(path);
  const int fd = ::open(folder.c_str(), kFolderFlags);
  if (fd < 0)
    return nullptr;
  if (IsFilesystemRoot(fd) || HoldsHome(folder, home_)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixFolderCursor>(fd, folder + '/');
}

}  // namespace larkspur
