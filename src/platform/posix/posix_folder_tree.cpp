#include "platform/posix/posix_folder_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "platform/path_text.h"
#include "platform/posix/entry_removal.h"
#include "platform/posix/folder_identity.h"
#include "platform/posix/unique_fd.h"

namespace larkspur {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Folders up to this depth keep their descriptors open while the walk is below them; deeper
// ones are reopened through "..". Keeps a very deep tree within the descriptor limit.
constexpr std::size_t kOpenAncestorDepth = 128;

bool IsHiddenName(const char* name) {
  return name[0] == '.';
}

class PosixFolderCursor final : public FolderCursor {
 public:
  PosixFolderCursor(UniqueFd fd, FolderIdentity start, std::string path,
                    std::shared_ptr<PreviewLedger> preview)
      : fd_(std::move(fd)), start_(start), path_(std::move(path)), preview_(std::move(preview)) {}

  // Every folder the walk is still in, and holds open, gets its mode back.
  ~PosixFolderCursor() override {
    PutBackMode(fd_.get(), mode_);
    for (const Level& level : parents_)
      PutBackMode(level.fd.get(), level.mode);
  }

  bool List(FolderListing* listing) override {
    listing->files.clear();
    listing->subfolders.clear();
    if (!fd_ || ::lseek(fd_.get(), 0, SEEK_SET) != 0)
      return false;
    alignas(dirent64) char buffer[32 * 1024];
    for (;;) {
      const ssize_t filled = ::getdents64(fd_.get(), buffer, sizeof buffer);
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

  bool Enter(const std::string& name, std::optional<StayReason>* why_not = nullptr) override {
    if (!fd_ || !IsPlainName(name))
      return false;
    UniqueFd child(::openat(fd_.get(), name.c_str(), kFolderFlags));
    if (!child) {
      // Gone meanwhile is nothing that stays; a link now in its place is not followed.
      if (why_not != nullptr && errno != ENOENT)
        *why_not =
            errno == ELOOP || errno == ENOTDIR ? StayReason::kRefused : StayReason::kAccessRefused;
      return false;
    }
    // Another file system, or another mount of this one, is not part of the tree.
    const std::optional<FolderIdentity> reached = IdentityOf(child.get());
    if (!reached || !reached->SameMount(start_)) {
      if (why_not != nullptr)
        *why_not = StayReason::kRefused;
      return false;
    }
    Level level{std::move(fd_), {}, path_.size(), mode_};
    if (parents_.size() >= kOpenAncestorDepth) {
      // Remember who the parent is, so the way back through ".." can be checked.
      const std::optional<FolderIdentity> parent = IdentityOf(level.fd.get());
      if (!parent) {
        fd_ = std::move(level.fd);
        return false;
      }
      level.identity = *parent;
      level.fd.reset();
    }
    parents_.push_back(std::move(level));
    fd_ = std::move(child);
    mode_ = kUnchanged;
    path_ += name;
    path_ += '/';
    return true;
  }

  bool Leave() override {
    if (!fd_ || parents_.empty())
      return false;
    // The folder left gets its mode back once the way out of it is found: ".." needs it.
    const UniqueFd left = std::move(fd_);
    const mode_t left_mode = std::exchange(mode_, kUnchanged);
    Level level = std::move(parents_.back());
    parents_.pop_back();
    if (!level.fd) {
      level.fd.reset(::openat(left.get(), "..", kFolderFlags));
      const std::optional<FolderIdentity> reached =
          level.fd ? IdentityOf(level.fd.get()) : std::nullopt;
      if (!reached || !reached->SameObject(level.identity)) {
        // The parent was moved or replaced meanwhile: stop rather than work somewhere else.
        PutBackMode(left.get(), left_mode);
        return false;
      }
    }
    PutBackMode(left.get(), left_mode);
    fd_ = std::move(level.fd);
    mode_ = level.mode;
    path_.resize(level.path_length);
    return true;
  }

  const std::string& Path() const override { return path_; }

  // A file's own mode never stops its deletion here; the folder's does. The folder is made the
  // owner's to list and change for as long as the walk is in it, and gets its mode back after.
  bool MakeArchiveOnly(const std::string& name) override {
    if (!fd_)
      return false;
    if (!name.empty() || preview_)
      return true;
    struct stat state {};
    if (::fstat(fd_.get(), &state) != 0)
      return false;
    constexpr mode_t kOwnerAll = S_IRWXU;
    if ((state.st_mode & kOwnerAll) == kOwnerAll)
      return true;
    if (::fchmod(fd_.get(), (state.st_mode & 07777) | kOwnerAll) != 0)
      return false;
    if (mode_ == kUnchanged)
      mode_ = state.st_mode & 07777;
    return true;
  }

  Removal DeleteFile(const std::string& name) override {
    if (!fd_ || !IsPlainName(name))
      return Removal::Kept(StayReason::kAccessRefused);
    // A preview stands for the run that first makes its own folder writable.
    return RemoveEntryAt(fd_.get(), name, preview_.get(),
                         preview_ && (OwnFolder() || FolderLetsEntriesGo(fd_.get())));
  }

  bool RemoveFolder(const std::string& name) override {
    if (!fd_ || !IsPlainName(name) || preview_)
      return false;
    // An empty mount point would go in another mount namespace, and with it the mount.
    const std::optional<FolderIdentity> folder = IdentityAt(fd_.get(), name.c_str());
    if (!folder || !folder->SameMount(start_))
      return false;
    return ::unlinkat(fd_.get(), name.c_str(), AT_REMOVEDIR) == 0;
  }

 private:
  // Ours on a writable mount: the run's MakeArchiveOnly would make it writable.
  bool OwnFolder() const {
    struct stat state {};
    struct statvfs mount {};
    return ::fstat(fd_.get(), &state) == 0 && state.st_uid == ::geteuid() &&
           ::fstatvfs(fd_.get(), &mount) == 0 && (mount.f_flag & ST_RDONLY) == 0;
  }

  static constexpr mode_t kUnchanged = static_cast<mode_t>(-1);

  static void PutBackMode(int fd, mode_t mode) {
    if (fd >= 0 && mode != kUnchanged)
      ::fchmod(fd, mode);
  }

  struct Level {
    UniqueFd fd;              // closed to save descriptors below kOpenAncestorDepth
    FolderIdentity identity;  // set when fd was closed
    std::size_t path_length;
    mode_t mode;  // to put back when the walk leaves it, or kUnchanged
  };

  static bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
  }

  void Classify(const char* name, unsigned char type, FolderListing* listing) const {
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
      return;
    if (type == DT_UNKNOWN) {
      struct stat state {};
      if (::fstatat(fd_.get(), name, &state, AT_SYMLINK_NOFOLLOW) != 0)
        return;
      if (S_ISREG(state.st_mode))
        type = DT_REG;
      if (S_ISLNK(state.st_mode))
        type = DT_LNK;
      if (S_ISDIR(state.st_mode))
        type = DT_DIR;
    }
    // Dot files are hidden by convention and stay; dot folders are swept as hidden folders are.
    if ((type == DT_REG || type == DT_LNK) && !IsHiddenName(name))
      listing->files.emplace_back(name);
    if (type == DT_DIR)
      listing->subfolders.emplace_back(name);
  }

  UniqueFd fd_;
  FolderIdentity start_;  // the mount every folder of the walk must be on
  std::string path_;
  std::vector<Level> parents_;
  mode_t mode_ = kUnchanged;  // the current folder's, to put back on leaving
  std::shared_ptr<PreviewLedger> preview_;
};

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

// "/" or the top of any mount, bind mounts included: its parent is itself or on another mount.
bool IsMountRoot(int fd, const FolderIdentity& folder) {
  const UniqueFd parent_fd(::openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
  const std::optional<FolderIdentity> parent =
      parent_fd ? IdentityOf(parent_fd.get()) : std::nullopt;
  return !parent || parent->SameObject(folder) || !parent->SameMount(folder);
}

}  // namespace

PosixFolderTree::PosixFolderTree(std::string home, std::shared_ptr<PreviewLedger> preview)
    : homes_{std::move(home), AccountHomeFolder()}, preview_(std::move(preview)) {}

std::unique_ptr<FolderCursor> PosixFolderTree::Open(const std::string& path) {
  if (!IsAbsolutePath(path))
    return nullptr;
  // A trailing slash would make the kernel follow a link at the last component.
  const std::string folder = WithoutTrailingSlashes(path);
  UniqueFd fd(::open(folder.c_str(), kFolderFlags));
  if (!fd)
    return nullptr;
  // Every check from here on is made on what was opened, whatever the path names by now.
  const std::optional<FolderIdentity> identity = IdentityOf(fd.get());
  if (!identity || IsMountRoot(fd.get(), *identity))
    return nullptr;
  if (ProtectedFolders(homes_).Holds(*identity))
    return nullptr;
  return std::make_unique<PosixFolderCursor>(std::move(fd), *identity, folder + '/', preview_);
}

}  // namespace larkspur
