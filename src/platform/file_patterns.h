#pragma once
#include <string>

namespace larkspur {

// Whole-file deletion by name or wildcard pattern, by the platform's file-name matching rules.
class FilePatternPort {
 public:
  virtual ~FilePatternPort() = default;

  // Deletes every file of the folder named by `path_pattern` whose name matches its last
  // component ("*" any run, "?" any one character; "*.*" matches every file). Folders are
  // neither deleted nor entered, a link is deleted itself, and a folder whose last component is
  // a link is not searched. False when nothing matched or a match could not be deleted.
  virtual bool DeleteMatching(const std::string& path_pattern) = 0;

  // Whether anything exists at `path`, without following a link at its end.
  virtual bool Exists(const std::string& path) = 0;

  virtual bool IsFolder(const std::string& path) = 0;
};

}  // namespace larkspur
