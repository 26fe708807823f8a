#include "platform/win32/win32_file_patterns.h"

#include <windows.h>
// <windows.h> renames DeleteFile to DeleteFileA; here it is the cursor's own.
#undef DeleteFile

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/code_page.h"
#include "platform/win32/win32_folder_tree.h"

namespace larkspur {

namespace {

using win32::FullPath;
using win32::LongPath;

// Names of the files, not folders, that `pattern` matches in `folder` (a full path ending in a
// backslash).
std::vector<std::string> MatchingFiles(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  const std::wstring wide_pattern = WideFromUtf8(pattern);
  // A colon would name a stream of a file, not a file.
  if (wide_pattern.empty() || wide_pattern.find_first_of(L":\\/") != std::wstring::npos)
    return names;
  const std::wstring search = LongPath(WideFromUtf8(folder)) + wide_pattern;
  WIN32_FIND_DATAW found;
  const HANDLE search_handle =
      ::FindFirstFileExW(search.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr,
                         FIND_FIRST_EX_LARGE_FETCH);
  if (search_handle == INVALID_HANDLE_VALUE)
    return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
      continue;
    std::string name = Utf8FromWide(found.cFileName);
    if (!name.empty())
      names.push_back(std::move(name));
  } while (::FindNextFileW(search_handle, &found));
  ::FindClose(search_handle);
  return names;
}

}  // namespace

namespace win32 {

std::vector<NamedRemoval> DeleteMatches(FolderTree& tree, const std::string& path_pattern) {
  std::vector<NamedRemoval> removals;
  const std::size_t cut = path_pattern.find_last_of("\\/");
  if (cut == std::string::npos || cut + 1 == path_pattern.size())
    return removals;
  const std::unique_ptr<FolderCursor> folder = tree.Open(path_pattern.substr(0, cut));
  if (!folder)
    return removals;
  for (std::string& name : MatchingFiles(folder->Path(), path_pattern.substr(cut + 1))) {
    const Removal removal = folder->DeleteFile(name);
    removals.push_back({std::move(name), removal});
  }
  return removals;
}

}  // namespace win32

bool Win32FilePatterns::Exists(const std::string& path) {
  const std::wstring full = FullPath(path);
  if (full.empty())
    return false;
  const std::wstring long_path = LongPath(full);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (::GetFileAttributesExW(long_path.c_str(), GetFileExInfoStandard, &data))
    return true;
  // Some files in use cannot be asked directly, but their folder's listing still shows them.
  if (long_path.find_first_of(L"*?", 4) != std::wstring::npos)
    return false;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileExW(long_path.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE)
    return false;
  ::FindClose(search);
  return true;
}

bool Win32FilePatterns::IsFolder(const std::string& path) {
  const std::wstring full = FullPath(path);
  if (full.empty())
    return false;
  const DWORD attributes = ::GetFileAttributesW(LongPath(full).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace larkspur
