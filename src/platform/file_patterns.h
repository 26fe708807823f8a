#pragma once
#include <string>

namespace larkspur {

// What the Firefox steps ask of the file system before they open a profile (the deletions
// themselves go through the profile folder, relative to what was opened).
class FilePatternPort {
 public:
  virtual ~FilePatternPort() = default;

  // Whether anything exists at `path`, without following a link at its end.
  virtual bool Exists(const std::string& path) = 0;

  virtual bool IsFolder(const std::string& path) = 0;
};

}  // namespace larkspur
