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

namespace {

Removal RemovalOf(long error, std::uint64_t bytes) {
  switch (error) {
    case kErrorSuccess:
      return Removal::Removed(bytes);
    case kErrorFileNotFound:
      return Removal::Absent();
    case kErrorSharingViolation:
    case kErrorLockViolation:
      return Removal::Kept(StayReason::kInUse);
    default:
      return Removal::Kept(StayReason::kAccessRefused);
  }
}

}  // namespace

Removal DeleteFromRegistry(RegistryPort& registry, RootKey root, const std::string& key_path,
                           const std::string& value_name) {
  RegKey key = 0;
  const long opened = registry.OpenKey(root, key_path, kKeyAllAccess, &key);
  if (opened != kErrorSuccess)
    return RemovalOf(opened, 0);
  // The size query answers success or "more data" with the data's size; anything else is
  // answered again, and better, by the deletion.
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  const long queried = registry.QueryValue(key, value_name, &type, nullptr, &size);
  const std::uint64_t bytes = queried == kErrorSuccess || queried == kErrorMoreData ? size : 0;
  const Removal removal = RemovalOf(registry.DeleteValue(key, value_name), bytes);
  registry.CloseKey(key);
  return removal;
}

std::string GetShellFolder(RegistryPort& registry, const std::string& name) {
  return GetFromRegistry(registry, kHkeyCurrentUser, kShellFoldersKey, name, "");
}

}  // namespace larkspur
