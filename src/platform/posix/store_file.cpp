#include "platform/posix/store_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/posix/write_all.h"

namespace larkspur {

namespace {

// Replacements write "<name>.tmp-XXXXXX" (mkstemp's six letters) beside the store.
constexpr char kTempMarker[] = ".tmp-";
constexpr std::size_t kTempLetters = 6;

// Another run replaces the store between our open and our lock only while it writes; this many
// times in a row means something else is going on.
constexpr int kLockAttempts = 100;

enum class Opened { kMissing, kDamaged, kRegular };

Opened OpenStore(const std::string& path, UniqueFd* fd) {
  struct stat state {};
  if (path.empty() || ::stat(path.c_str(), &state) != 0)
    return path.empty() || errno == ENOENT || errno == ENOTDIR ? Opened::kMissing
                                                               : Opened::kDamaged;
  // Opening a device or FIFO can block or do something of its own: only files are opened. What
  // was opened is checked again, as the path may have changed meanwhile.
  if (!S_ISREG(state.st_mode))
    return Opened::kDamaged;
  fd->reset(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!*fd)
    return errno == ENOENT ? Opened::kMissing : Opened::kDamaged;
  if (::fstat(fd->get(), &state) != 0 || !S_ISREG(state.st_mode))
    return Opened::kDamaged;
  return Opened::kRegular;
}

StoreText ReadBounded(int fd) {
  StoreText store;
  constexpr std::size_t kChunk = std::size_t{64} << 10;
  for (;;) {
    const std::size_t had = store.text.size();
    if (had > kMaxStoreSize) {
      store.text.resize(kMaxStoreSize);
      store.damaged = true;
      return store;
    }
    store.text.resize(had + kChunk);
    const ssize_t got = ::read(fd, store.text.data() + had, kChunk);
    store.text.resize(had + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
    if (got == 0)
      return store;
    if (got < 0 && errno != EINTR) {
      store.damaged = true;
      return store;
    }
  }
}

bool IsTempOf(const std::string& name, const std::string& store_name) {
  const std::string prefix = store_name + kTempMarker;
  return name.size() == prefix.size() + kTempLetters && name.starts_with(prefix) &&
         std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Only called under the store's lock, so no other run is writing one of these right now.
void RemoveStaleTemporaries(const std::string& store_path) {
  const std::size_t slash = store_path.rfind('/');
  if (slash == std::string::npos)
    return;
  const std::string folder = slash == 0 ? "/" : store_path.substr(0, slash);
  const std::string store_name = store_path.substr(slash + 1);
  UniqueFd folder_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  UniqueFd listing_fd(folder_fd ? ::dup(folder_fd.get()) : -1);
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(
      listing_fd ? ::fdopendir(listing_fd.get()) : nullptr, ::closedir);
  if (!listing)
    return;
  listing_fd.release();
  std::vector<std::string> stale;
  while (const dirent* entry = ::readdir(listing.get())) {
    if (IsTempOf(entry->d_name, store_name))
      stale.emplace_back(entry->d_name);
  }
  for (const std::string& name : stale) {
    struct stat state {};
    if (::fstatat(folder_fd.get(), name.c_str(), &state, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(state.st_mode))
      ::unlinkat(folder_fd.get(), name.c_str(), 0);
  }
}

}  // namespace

std::optional<StoreText> ReadStore(const std::string& path) {
  UniqueFd fd;
  switch (OpenStore(path, &fd)) {
    case Opened::kMissing:
      return std::nullopt;
    case Opened::kDamaged:
      return StoreText{{}, true};
    case Opened::kRegular:
      break;
  }
  return ReadBounded(fd.get());
}

std::optional<StoreStamp> StampOf(const std::string& path) {
  struct stat state {};
  if (path.empty() || ::stat(path.c_str(), &state) != 0)
    return std::nullopt;
  return StoreStamp{state.st_dev, state.st_ino, state.st_size,
                    std::int64_t{state.st_mtim.tv_sec} * 1'000'000'000 + state.st_mtim.tv_nsec};
}

LockedStore::LockedStore(const std::string& path) {
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    UniqueFd fd;
    switch (OpenStore(path, &fd)) {
      case Opened::kMissing:
        return;
      case Opened::kDamaged:
        contents_ = StoreText{{}, true};
        return;
      case Opened::kRegular:
        break;
    }
    int locked;
    do {
      locked = ::flock(fd.get(), LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0)
      break;
    // The lock holds the file we opened; a run that replaced the store meanwhile made a new
    // one, and that one is the store now.
    char resolved[PATH_MAX];
    struct stat named {};
    struct stat held {};
    if (::realpath(path.c_str(), resolved) == nullptr || ::stat(resolved, &named) != 0 ||
        ::fstat(fd.get(), &held) != 0 || named.st_dev != held.st_dev || named.st_ino != held.st_ino)
      continue;
    fd_ = std::move(fd);
    target_ = resolved;
    // Too large to be rewritten, so there is no need to read it.
    contents_ = held.st_size > static_cast<off_t>(kMaxStoreSize) ? StoreText{{}, true}
                                                                 : ReadBounded(fd_.get());
    return;
  }
  contents_ = StoreText{{}, true};
}

bool LockedStore::Replace(const std::string& contents) {
  if (!fd_ || !contents_ || contents_->damaged)
    return false;
  RemoveStaleTemporaries(target_);
  const bool replaced = WriteFileAtomically(target_, contents);
  // The lock was on the file just replaced: a run waiting for it goes on to the new one.
  fd_.reset();
  return replaced;
}

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
  std::vector<char> temp_name(path.begin(), path.end());
  const std::string suffix = std::string(kTempMarker) + "XXXXXX";
  temp_name.insert(temp_name.end(), suffix.begin(), suffix.end());
  temp_name.push_back('\0');
  UniqueFd fd(::mkstemp(temp_name.data()));
  if (!fd)
    return false;

  // Keep the permissions of the file being replaced.
  struct stat old_state {};
  if (::stat(path.c_str(), &old_state) == 0)
    ::fchmod(fd.get(), old_state.st_mode & 07777);

  const bool written = WriteAll(fd.get(), contents) && ::fsync(fd.get()) == 0;
  const bool closed = ::close(fd.release()) == 0;
  if (!written || !closed || ::rename(temp_name.data(), path.c_str()) != 0) {
    ::unlink(temp_name.data());
    return false;
  }
  return true;
}

}  // namespace larkspur
