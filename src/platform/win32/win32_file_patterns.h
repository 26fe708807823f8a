#pragma once
#include "platform/file_patterns.h"

namespace larkspur {

// Pattern deletion by Windows' own wildcard matching (FindFirstFileExW: no case, "*.*" matches
// every name). Matches are deleted through a Win32FolderTree cursor on their folder, so the
// folder is held for the time and no link, at its end or among the matches, is followed.
class Win32FilePatterns final : public FilePatternPort {
 public:
  bool DeleteMatching(const std::string& path_pattern) override;
  bool Exists(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
};

}  // namespace larkspur
