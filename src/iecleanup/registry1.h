#pragma once
// Plain registry access with a default, and the lookup of the user's special folders.
#include <string>

#include "platform/registry.h"
#include "platform/removal.h"

namespace larkspur {

// Query buffer of the registry read: values of up to 127 characters come back whole.
inline constexpr std::uint32_t kRegistryReadBufferSize = 128;

// The text of a value, read into a 128-byte buffer, or `default_value` when the key or value
// cannot be read or the data does not fit.
std::string GetFromRegistry(RegistryPort& registry, RootKey root, const std::string& key_path,
                            const std::string& value_name, const std::string& default_value);

// Deletes one value: removed with the size of its data, absent when the key or the value is
// missing, stayed when the registry refused.
Removal DeleteFromRegistry(RegistryPort& registry, RootKey root, const std::string& key_path,
                           const std::string& value_name);

// The folder path stored under Shell Folders for `name` ("History", "Cache", "Cookies",
// "AppData"), unchanged, or the empty string.
std::string GetShellFolder(RegistryPort& registry, const std::string& name);

}  // namespace larkspur
