#pragma once
#include "platform/profile_strings.h"

namespace larkspur {

// kernel32's GetPrivateProfileStringA.
class Win32ProfileStrings final : public ProfileStringPort {
 public:
  std::uint32_t GetPrivateProfileString(const std::string& section, const std::string& key,
                                        const std::string& default_value, char* buffer,
                                        std::uint32_t size, const std::string& file_path) override;
};

}  // namespace larkspur
