#pragma once
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace larkspur {

// Writes all of `text`, going on after a short write or a signal; false on any failure.
inline bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace larkspur
