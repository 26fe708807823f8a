#pragma once
#include <cstdint>
#include <string>

namespace larkspur {

// GetPrivateProfileStringA, with its buffer: section and key match without case, the value is
// cut to fit the buffer with its NUL, and the result counts the characters copied.
class ProfileStringPort {
 public:
  virtual ~ProfileStringPort() = default;
  virtual std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                                const std::string& default_value, char* buffer,
                                                std::uint32_t size,
                                                const std::string& file_path) = 0;
};

}  // namespace larkspur
