#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/win32/code_page.h"

namespace larkspur {

namespace {

// The predefined keys are sign-extended 32-bit values.
HKEY RootHandle(RootKey root) {
  return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

HKEY Handle(RegKey key) {
  return reinterpret_cast<HKEY>(key);
}

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

}  // namespace

long Win32Registry::OpenKey(RootKey root, const std::string& path, std::uint32_t access,
                            RegKey* key) {
  HKEY opened = nullptr;
  const LONG result =
      ::RegOpenKeyExA(RootHandle(root), AnsiFromUtf8(path).c_str(), 0, access, &opened);
  *key = result == ERROR_SUCCESS ? reinterpret_cast<RegKey>(opened) : 0;
  if (preview_ && result == ERROR_SUCCESS) {
    std::string name = std::to_string(root) + "\\" + AsciiFolded(path);
    while (name.back() == '\\')
      name.pop_back();
    key_names_[*key] = std::move(name);
  }
  return result;
}

long Win32Registry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                               unsigned char* data, std::uint32_t* size) {
  const std::string ansi_name = AnsiFromUtf8(name);
  DWORD value_type = REG_NONE;
  DWORD byte_count = size != nullptr ? *size : 0;
  if (data == nullptr) {
    const LONG result = ::RegQueryValueExA(Handle(key), ansi_name.c_str(), nullptr, &value_type,
                                           nullptr, size != nullptr ? &byte_count : nullptr);
    if (type != nullptr)
      *type = value_type;
    if (size != nullptr)
      *size = byte_count;
    return result;
  }

  // Text arrives in the code page and leaves as UTF-8, which may be longer: the value is read
  // into a buffer of the caller's size, and the caller's buffer is only touched when the
  // converted text fits, as the call itself behaves.
  std::vector<unsigned char> ansi(byte_count);
  const LONG result = ::RegQueryValueExA(Handle(key), ansi_name.c_str(), nullptr, &value_type,
                                         ansi.data(), &byte_count);
  if (type != nullptr)
    *type = value_type;
  if (result != ERROR_SUCCESS) {
    if (result == ERROR_MORE_DATA)
      *size = byte_count;
    return result;
  }
  std::string bytes(reinterpret_cast<const char*>(ansi.data()), byte_count);
  if (IsText(value_type))
    bytes = Utf8FromAnsi(bytes);
  if (bytes.size() > *size) {
    *size = static_cast<std::uint32_t>(bytes.size());
    return ERROR_MORE_DATA;
  }
  std::memcpy(data, bytes.data(), bytes.size());
  *size = static_cast<std::uint32_t>(bytes.size());
  return ERROR_SUCCESS;
}

long Win32Registry::DeleteValue(RegKey key, const std::string& name) {
  const std::string ansi_name = AnsiFromUtf8(name);
  if (!preview_)
    return ::RegDeleteValueA(Handle(key), ansi_name.c_str());
  const LONG found =
      ::RegQueryValueExA(Handle(key), ansi_name.c_str(), nullptr, nullptr, nullptr, nullptr);
  if (found != ERROR_SUCCESS)
    return found;
  const auto key_name = key_names_.find(key);
  if (key_name == key_names_.end())
    return ERROR_SUCCESS;
  // Names match without case; a value answered as deleted is not there the second time.
  return preview_->Claim("registry:" + key_name->second + "\\" + AsciiFolded(name))
             ? ERROR_SUCCESS
             : ERROR_FILE_NOT_FOUND;
}

long Win32Registry::CloseKey(RegKey key) {
  key_names_.erase(key);
  return ::RegCloseKey(Handle(key));
}

}  // namespace larkspur
