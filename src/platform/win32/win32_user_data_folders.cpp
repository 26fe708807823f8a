#include "platform/win32/win32_user_data_folders.h"

#include <windows.h>

#include "platform/win32/code_page.h"
#include "platform/win32/win32_folder_tree.h"

namespace larkspur {

std::string Win32UserDataFolders::LocalState(const std::string& folder) {
  const std::wstring full = win32::FullPath(folder);
  if (full.empty())
    return "";
  const HANDLE file = ::CreateFileW(win32::LongPath(full + L"\\Local State").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return "";
  std::string text;
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileInformationByHandle(file, &info) && info.nFileSizeHigh == 0 &&
      info.nFileSizeLow <= kLocalStateLimit &&
      !(info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
    text.resize(info.nFileSizeLow);
    DWORD got = 0;
    if (!::ReadFile(file, text.data(), info.nFileSizeLow, &got, nullptr))
      got = 0;
    text.resize(got);
  }
  ::CloseHandle(file);
  return text;
}

std::vector<std::string> Win32UserDataFolders::Subfolders(const std::string& folder) {
  std::vector<std::string> names;
  const std::wstring full = win32::FullPath(folder);
  if (full.empty())
    return names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileW(win32::LongPath(full + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L".." && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
      names.push_back(Utf8FromWide(name));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
}

// The browser names its message-only window after the user-data folder it holds.
bool Win32UserDataFolders::Running(const std::string& folder, bool) {
  const std::wstring full = win32::FullPath(folder);
  return !full.empty() &&
         ::FindWindowExW(HWND_MESSAGE, nullptr, L"Chrome_MessageWindow", full.c_str()) != nullptr;
}

}  // namespace larkspur
