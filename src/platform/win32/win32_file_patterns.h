#pragma once
#include <string>
#include <vector>

#include "platform/file_patterns.h"
#include "platform/folder_tree.h"
#include "platform/removal.h"

namespace larkspur {

class Win32FilePatterns final : public FilePatternPort {
 public:
  bool Exists(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
};

namespace win32 {

// Deletes the files that `path_pattern` matches, by Windows' own wildcard matching
// (FindFirstFileExW: no case, "*.*" matches every name), through a cursor of `tree`, so the
// folder is held for the time and no link, at its end or among the matches, is followed. One
// answer for each match, named as in the folder; none when nothing matched or the folder was
// refused.
std::vector<NamedRemoval> DeleteMatches(FolderTree& tree, const std::string& path_pattern);

}  // namespace win32

}  // namespace larkspur
