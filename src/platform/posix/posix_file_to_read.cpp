#include "platform/posix/posix_file_to_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/posix/unique_fd.h"

namespace larkspur {

namespace {

class PosixFileToRead final : public FileToRead {
 public:
  explicit PosixFileToRead(UniqueFd fd) : fd_(std::move(fd)) {}

  std::optional<std::uint64_t> Size() override {
    struct stat state {};
    if (::fstat(fd_.get(), &state) != 0)
      return std::nullopt;
    return static_cast<std::uint64_t>(state.st_size);
  }

  std::optional<std::size_t> ReadAt(std::uint64_t offset, void* into, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      const ssize_t read = ::pread(fd_.get(), static_cast<char*>(into) + done, size - done,
                                   static_cast<off_t>(offset + done));
      if (read < 0 && errno == EINTR)
        continue;
      if (read < 0)
        return std::nullopt;
      if (read == 0)
        break;
      done += static_cast<std::size_t>(read);
    }
    return done;
  }

 private:
  UniqueFd fd_;
};

constexpr int kReadFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

}  // namespace

std::unique_ptr<FileToRead> OpenFileToReadAt(int folder_fd, const std::string& name, bool* absent) {
  *absent = false;
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
    return nullptr;
  // Only a regular file is opened at all: opening a device can do something, a FIFO could wait.
  struct stat looked {};
  if (::fstatat(folder_fd, name.c_str(), &looked, AT_SYMLINK_NOFOLLOW) != 0) {
    *absent = errno == ENOENT;
    return nullptr;
  }
  struct stat folder {};
  if (!S_ISREG(looked.st_mode) || ::fstat(folder_fd, &folder) != 0 ||
      looked.st_dev != folder.st_dev)
    return nullptr;
  // Reading leaves even the access time alone where the owner may ask for that.
  UniqueFd fd(::openat(folder_fd, name.c_str(), kReadFlags | O_NOATIME));
  if (!fd && errno == EPERM)
    fd = UniqueFd(::openat(folder_fd, name.c_str(), kReadFlags));
  struct stat opened {};
  if (!fd || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
      opened.st_dev != looked.st_dev || opened.st_ino != looked.st_ino)
    return nullptr;
  return std::make_unique<PosixFileToRead>(std::move(fd));
}

}  // namespace larkspur
