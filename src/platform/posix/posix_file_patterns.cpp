#include "platform/posix/posix_file_patterns.h"

#include <sys/stat.h>

#include <string>

namespace larkspur {

bool PosixFilePatterns::Exists(const std::string& path) {
  struct stat state {};
  return ::lstat(path.c_str(), &state) == 0;
}

bool PosixFilePatterns::IsFolder(const std::string& path) {
  struct stat state {};
  return ::stat(path.c_str(), &state) == 0 && S_ISDIR(state.st_mode);
}

}  // namespace larkspur
