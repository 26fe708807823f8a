#include <cstdlib>
#include <string>

#include "platform/path_text.h"
#include "platform/posix/folder_identity.h"
#include "platform/user_folders.h"

namespace larkspur {

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr)
    return home;  // set but empty means: no home
  return AccountHomeFolder();
}

// An XDG base folder; relative values are invalid and ignored, as the XDG rules say.
std::string XdgFolder(const char* variable, const std::string& home, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && IsAbsolutePath(value))
    return value;
  return IsAbsolutePath(home) ? home + fallback : "";
}

}  // namespace

UserFolders UserFoldersFromEnvironment() {
  UserFolders folders;
  folders.home = HomeFolder();
  if (!IsAbsolutePath(folders.home))
    folders.home.clear();
  folders.config = XdgFolder("XDG_CONFIG_HOME", folders.home, "/.config");
  folders.data = XdgFolder("XDG_DATA_HOME", folders.home, "/.local/share");
  folders.cache = XdgFolder("XDG_CACHE_HOME", folders.home, "/.cache");
  folders.state = XdgFolder("XDG_STATE_HOME", folders.home, "/.local/state");
  return folders;
}

}  // namespace larkspur
