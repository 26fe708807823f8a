#include <windows.h>

#include <string>
#include <string_view>

#include "platform/desktop.h"
#include "platform/win32/win32_desktop.h"

namespace larkspur {

const char kTextViewer[] = "notepad";
const char kWebViewer[] = "explorer";

namespace {

std::wstring Folder(UINT(WINAPI* get)(LPWSTR, UINT)) {
  std::wstring folder(MAX_PATH, L'\0');
  UINT length = get(folder.data(), static_cast<UINT>(folder.size()));
  if (length >= folder.size()) {  // too small: the length it needs, with the NUL
    folder.resize(length);
    length = get(folder.data(), length);
  }
  folder.resize(length < folder.size() ? length : 0);
  return folder;
}

std::wstring In(const std::wstring& folder, const wchar_t* file) {
  return folder.empty() ? folder : folder + L"\\" + file;
}

}  // namespace

// By full path: the search order looks in the program's folder and the current folder first,
// where anyone may have put a program of the same name.
std::wstring ProgramPath(std::string_view program) {
  if (program == kTextViewer)
    return In(Folder(&::GetSystemDirectoryW), L"notepad.exe");
  if (program == kWebViewer)
    return In(Folder(&::GetWindowsDirectoryW), L"explorer.exe");
  return {};
}

}  // namespace larkspur
