#pragma once
#include "platform/file_patterns.h"

namespace larkspur {

// Pattern deletion with fnmatch(3): case-sensitive, as file names are here; "*.*" stands for
// every file, as it does on Windows.
class PosixFilePatterns final : public FilePatternPort {
 public:
  bool DeleteMatching(const std::string& path_pattern) override;
  bool Exists(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
};

}  // namespace larkspur
