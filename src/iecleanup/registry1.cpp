#include "iecleanup/registry1.h"

#include <algorithm>
#include <array>

namespace larkspur {

std::string GetFromRegistry(RegistryPort& registry, RootKey root, const std::string& key_path,
                            const std::string& value_name, const std::string& default_value) {
  RegKey key = 0;
  if (registry.OpenKey(root, key_path, kKeyAllAccess, &key) != kErrorSuccess)
    return default_value;

  std::array<unsigned char, kRegistryReadBufferSize> buffer{};
  std::uint32_t type = kRegSz;
  std::uint32_t size = kRegistryReadBufferSize;
  const long result = registry.QueryValue(key, value_name, &type, buffer.data(), &size);
  registry.CloseKey(key);
  if (result != kErrorSuccess)
    return default_value;

  // Text ends at the first NUL; data that fills the buffer without one ends with the buffer.
  const auto end = std::find(buffer.begin(), buffer.end(), '\0');
  return std::string(buffer.begin(), end);
}

void DeleteFromRegistry(RegistryPort& registry, RootKey root, const std::string& key_path,
                        const std::string& value_name) {
  RegKey key = 0;
  if (registry.OpenKey(root, key_path, kKeyAllAccess, &key) != kErrorSuccess)
    return;
  registry.DeleteValue(key, value_name);
  registry.CloseKey(key);
}

std::string GetShellFolder(RegistryPort& registry, const std::string& name) {
  return GetFromRegistry(registry, kHkeyCurrentUser, kShellFoldersKey, name, "");
}

}  // namespace larkspur
