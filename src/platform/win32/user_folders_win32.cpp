#include <shlobj.h>

#include <cstdlib>
#include <string>

#include "platform/path_text.h"
#include "platform/user_folders.h"
#include "platform/win32/code_page.h"
#include "platform/win32/profile_folder.h"

namespace larkspur {

namespace {

// An absolute folder from the environment, else empty.
std::string FolderFromEnvironment(const wchar_t* variable) {
  const wchar_t* value = ::_wgetenv(variable);
  const std::string folder = value != nullptr ? Utf8FromWide(value) : std::string();
  return IsAbsolutePath(folder) ? folder : std::string();
}

}  // namespace

std::string ProfileFolderFromSystem() {
  PWSTR path = nullptr;
  std::string folder;
  if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Profile, KF_FLAG_DONT_VERIFY, nullptr, &path)))
    folder = Utf8FromWide(path);
  ::CoTaskMemFree(path);
  return IsAbsolutePath(folder) ? folder : std::string();
}

UserFolders UserFoldersFromEnvironment() {
  UserFolders folders;
  // The folder tree protects the system's profile folder as well, whatever this one is.
  folders.home = FolderFromEnvironment(L"USERPROFILE");
  if (folders.home.empty())
    folders.home = ProfileFolderFromSystem();
  folders.config = FolderFromEnvironment(L"APPDATA");
  folders.data = FolderFromEnvironment(L"LOCALAPPDATA");
  folders.cache = folders.data;
  folders.state = folders.data;
  return folders;
}

}  // namespace larkspur
