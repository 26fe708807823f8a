#pragma once
#include "platform/file_patterns.h"

namespace larkspur {

class PosixFilePatterns final : public FilePatternPort {
 public:
  bool Exists(const std::string& path) override;
  bool IsFolder(const std::string& path) override;
};

}  // namespace larkspur
