#include "platform/posix/text_url_history.h"

#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "platform/posix/atomic_file.h"

namespace larkspur {

TextUrlHistory::TextUrlHistory(std::string file_path) : file_path_(std::move(file_path)) {}

bool TextUrlHistory::ClearHistory() {
  try {
    struct stat state {};
    if (::lstat(file_path_.c_str(), &state) != 0)
      return errno == ENOENT || errno == ENOTDIR;
    // A folder or device there is no history file. A symbolic link is replaced, not followed:
    // emptying whatever it points to could wipe an unrelated file.
    if (!S_ISREG(state.st_mode) && !S_ISLNK(state.st_mode))
      return false;
    return WriteFileAtomically(file_path_, std::string());
  } catch (...) {
    return false;
  }
}

}  // namespace larkspur
