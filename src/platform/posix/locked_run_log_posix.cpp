#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <filesystem>
#include <string>

#include "platform/locked_run_log.h"
#include "platform/posix/unique_fd.h"
#include "platform/posix/write_all.h"

namespace larkspur {

namespace {

// A trim renames a new log over the one a waiting run has open; this many in a row means
// something else is going on.
constexpr int kOpenAttempts = 100;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// "<log>.tmp-" and six letters nobody can guess, so that nothing can be waiting at the name.
std::string TemporaryName(const std::string& log_name) {
  static constexpr char kLetters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  unsigned char random[6];
  if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
    const auto fallback = static_cast<unsigned long>(std::clock()) ^
                          static_cast<unsigned long>(::getpid()) ^
                          static_cast<unsigned long>(std::time(nullptr));
    for (std::size_t i = 0; i < sizeof random; ++i)
      random[i] = static_cast<unsigned char>(fallback >> (i * 5));
  }
  std::string name = log_name + ".tmp-";
  for (const unsigned char each : random)
    name += kLetters[each % (sizeof kLetters - 1)];
  return name;
}

class PosixRunLog final : public LockedRunLog {
 public:
  PosixRunLog(UniqueFd folder, UniqueFd log, std::string name)
      : folder_(std::move(folder)), log_(std::move(log)), name_(std::move(name)) {}

  std::optional<std::uint64_t> Size() override {
    struct stat state {};
    if (::fstat(log_.get(), &state) != 0)
      return std::nullopt;
    return static_cast<std::uint64_t>(state.st_size);
  }

  bool ReadAt(std::uint64_t offset, std::size_t length, std::string* text) override {
    text->resize(length);
    std::size_t done = 0;
    while (done < length) {
      const ssize_t got = ::pread(log_.get(), text->data() + done, length - done,
                                  static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR)
        continue;
      if (got < 0)
        return false;
      if (got == 0)
        break;
      done += static_cast<std::size_t>(got);
    }
    text->resize(done);
    return true;
  }

  bool Append(const std::string& text) override { return WriteAll(log_.get(), text); }

  // Through a new file and a rename, so that a crash of the program never leaves half a log.
  // The new file is made only where nothing is (O_EXCL never follows a link), in the log's own
  // folder. No fsync: it would cost more than the whole trim, for a log of counts.
  bool Replace(const std::string& text) override {
    struct stat state {};
    if (::fstat(log_.get(), &state) != 0)
      return false;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
      const std::string temporary = TemporaryName(name_);
      UniqueFd fd(::openat(folder_.get(), temporary.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
      if (!fd && errno == EEXIST)
        continue;
      if (!fd)
        return false;
      const bool written =
          ::fchmod(fd.get(), state.st_mode & 0777) == 0 && WriteAll(fd.get(), text);
      if (::close(fd.release()) == 0 && written &&
          ::renameat(folder_.get(), temporary.c_str(), folder_.get(), name_.c_str()) == 0)
        return true;
      ::unlinkat(folder_.get(), temporary.c_str(), 0);
      return false;
    }
    return false;
  }

 private:
  UniqueFd folder_;
  UniqueFd log_;  // holds the lock until the log is replaced or closed
  std::string name_;
};

}  // namespace

std::unique_ptr<LockedRunLog> LockRunLog(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (path.empty() || path.front() != '/' || slash + 1 >= path.size())
    return nullptr;
  const std::string folder_path = slash == 0 ? "/" : path.substr(0, slash);
  const std::string name = path.substr(slash + 1);
  std::error_code error;
  std::filesystem::create_directories(folder_path, error);
  UniqueFd folder(::open(folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder)
    return nullptr;

  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    // O_NONBLOCK: a FIFO put there opens at once and is then refused.
    UniqueFd log(::openat(
        folder.get(), name.c_str(),
        O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
    struct stat held {};
    if (!log || ::fstat(log.get(), &held) != 0 || !S_ISREG(held.st_mode))
      return nullptr;
    int locked;
    do {
      locked = ::flock(log.get(), LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0)
      return nullptr;
    // A run that trimmed meanwhile put a new log in its place: that one is the log now.
    struct stat named {};
    if (::fstatat(folder.get(), name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        SameFile(named, held))
      return std::make_unique<PosixRunLog>(std::move(folder), std::move(log), name);
  }
  return nullptr;
}

}  // namespace larkspur
