#pragma once
// The registry as the clean-up logic needs it: the four advapi32 calls, in their own shape,
// so that the 128-byte query buffer behaves alike on every platform.
#include <cstdint>
#include <string>

namespace larkspur {

using RootKey = std::uint32_t;
using RegKey = std::uintptr_t;

inline constexpr RootKey kHkeyCurrentUser = 0x80000001u;
inline constexpr std::uint32_t kKeyAllAccess = 0xF003Fu;

inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorAccessDenied = 5;
inline constexpr long kErrorInvalidHandle = 6;
inline constexpr long kErrorSharingViolation = 32;
inline constexpr long kErrorLockViolation = 33;
inline constexpr long kErrorMoreData = 234;

// Where the user's special folders ("History", "Cache", "Cookies", "AppData") are named.
inline constexpr char kShellFoldersKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class RegistryPort {
 public:
  virtual ~RegistryPort() = default;

  // RegOpenKeyExA(root, path, 0, access, key). Key paths and value names match without case;
  // a trailing backslash on the path is allowed.
  virtual long OpenKey(RootKey root, const std::string& path, std::uint32_t access,
                       RegKey* key) = 0;

  // RegQueryValueExA(key, name, 0, type, data, size). On entry *size is the buffer's byte count.
  // When the data does not fit, returns kErrorMoreData, sets *size to the needed count and
  // leaves the buffer alone. String data is returned as stored, terminator included.
  virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                          unsigned char* data, std::uint32_t* size) = 0;

  // RegDeleteValueA(key, name): kErrorFileNotFound for a value that does not exist. A registry
  // made for a preview answers as if it deleted, and keeps the value.
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;

  virtual long CloseKey(RegKey key) = 0;
};

}  // namespace larkspur
