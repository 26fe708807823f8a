#pragma once
#include "platform/registry.h"

namespace larkspur {

// advapi32's registry, with names and string data converted between UTF-8 and the ANSI code
// page that the "A" functions use.
class Win32Registry final : public RegistryPort {
 public:
  long OpenKey(RootKey root, const std::string& path, std::uint32_t access, RegKey* key) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long CloseKey(RegKey key) override;
};

}  // namespace larkspur
