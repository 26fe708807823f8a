#include "platform/posix/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace larkspur {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::ostringstream contents;
  contents << in.rdbuf();
  if (in.bad())
    return std::nullopt;
  return contents.str();
}

namespace {

bool WriteAll(int fd, const std::string& contents) {
  const char* next = contents.data();
  std::size_t left = contents.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, next, left);
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    next += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
  std::vector<char> temp_name(path.begin(), path.end());
  const std::string suffix = ".tmp-XXXXXX";
  temp_name.insert(temp_name.end(), suffix.begin(), suffix.end());
  temp_name.push_back('\0');
  const int fd = ::mkstemp(temp_name.data());
  if (fd < 0)
    return false;

  // Keep the permissions of the file being replaced.
  struct stat old_state {};
  if (::stat(path.c_str(), &old_state) == 0)
    ::fchmod(fd, old_state.st_mode & 07777);

  const bool written = WriteAll(fd, contents) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp_name.data(), path.c_str()) != 0) {
    ::unlink(temp_name.data());
    return false;
  }
  return true;
}

}  // namespace larkspur
