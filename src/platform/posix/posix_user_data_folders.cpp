#include "platform/posix/posix_user_data_folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string_view>

#include "platform/posix/unique_fd.h"

namespace larkspur {

namespace {

// The user-data folder may itself be a link (a user's choice); what lies in it is not followed.
UniqueFd OpenFolder(const std::string& folder) {
  if (folder.empty() || folder.front() != '/')
    return UniqueFd();
  return UniqueFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

std::string ThisHost() {
  char name[HOST_NAME_MAX + 1] = {};
  return ::gethostname(name, sizeof name - 1) == 0 ? name : "";
}

bool IsAlive(std::string_view digits) {
  if (digits.empty() || digits.size() > 9 ||
      digits.find_first_not_of("0123456789") != std::string_view::npos)
    return false;
  const pid_t pid = static_cast<pid_t>(std::stol(std::string(digits)));
  return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

}  // namespace

std::string PosixUserDataFolders::LocalState(const std::string& folder) {
  const UniqueFd folder_fd = OpenFolder(folder);
  if (!folder_fd)
    return "";
  const UniqueFd file(
      ::openat(folder_fd.get(), "Local State", O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  struct stat state {};
  if (!file || ::fstat(file.get(), &state) != 0 || !S_ISREG(state.st_mode) ||
      static_cast<std::size_t>(state.st_size) > kLocalStateLimit)
    return "";
  std::string text(static_cast<std::size_t>(state.st_size), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t got = ::read(file.get(), text.data() + done, text.size() - done);
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      break;
    done += static_cast<std::size_t>(got);
  }
  text.resize(done);
  return text;
}

std::vector<std::string> PosixUserDataFolders::Subfolders(const std::string& folder) {
  std::vector<std::string> names;
  UniqueFd folder_fd = OpenFolder(folder);
  DIR* listing = folder_fd ? ::fdopendir(folder_fd.get()) : nullptr;
  if (listing == nullptr)
    return names;
  const int fd = folder_fd.release();  // the listing owns it now
  while (const dirent* entry = ::readdir(listing)) {
    const std::string name = entry->d_name;
    struct stat state {};
    if (name != "." && name != ".." &&
        ::fstatat(fd, name.c_str(), &state, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(state.st_mode))
      names.push_back(name);
  }
  ::closedir(listing);
  return names;
}

// The browser's SingletonLock is a link whose target, which does not exist, is "host-pid".
bool PosixUserDataFolders::Running(const std::string& folder, bool sandboxed) {
  const UniqueFd folder_fd = OpenFolder(folder);
  char target[512];
  const ssize_t length =
      folder_fd ? ::readlinkat(folder_fd.get(), "SingletonLock", target, sizeof target - 1) : -1;
  if (length <= 0)
    return false;
  if (sandboxed)
    return true;
  const std::string_view lock(target, static_cast<std::size_t>(length));
  const std::size_t dash = lock.rfind('-');
  return dash != std::string_view::npos && lock.substr(0, dash) == ThisHost() &&
         IsAlive(lock.substr(dash + 1));
}

}  // namespace larkspur
