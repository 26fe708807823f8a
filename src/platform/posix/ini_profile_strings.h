#pragma once
#include <cstdint>
#include <string>

#include "platform/profile_strings.h"

namespace larkspur {

// GetPrivateProfileStringA's answer for one section and key, read from the file on every call.
// The first [section] with the name is the only one searched, and its first line with the key
// wins, as on Windows. Bytes pass through unchanged, so a UTF-8 file gives UTF-8 values.
// Never writes: a missing file stays missing.
class IniProfileStrings final : public ProfileStringPort {
 public:
  std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& default_value, char* buffer,
                                        std::uint32_t size, const std::string& file_path) override;
};

}  // namespace larkspur
