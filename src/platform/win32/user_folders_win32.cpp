#include <cstdlib>
#include <string>

#include "platform/path_text.h"
#include "platform/user_folders.h"
#include "platform/win32/code_page.h"

namespace larkspur {

namespace {

// An absolute folder from the environment, else empty.
std::string FolderFromEnvironment(const wchar_t* variable) {
  const wchar_t* value = ::_wgetenv(variable);
  const std::string folder = value != nullptr ? Utf8FromWide(value) : std::string();
  return IsAbsolutePath(folder) ? folder : std::string();
}

}  // namespace

UserFolders UserFoldersFromEnvironment() {
  UserFolders folders;
  folders.home = FolderFromEnvironment(L"USERPROFILE");
  folders.config = FolderFromEnvironment(L"APPDATA");
  folders.data = FolderFromEnvironment(L"LOCALAPPDATA");
  folders.cache = folders.data;
  folders.state = folders.data;
  return folders;
}

}  // namespace larkspur
