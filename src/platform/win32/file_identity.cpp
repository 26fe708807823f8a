#include "platform/win32/file_identity.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace larkspur::win32 {

namespace {

constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
static_assert(sizeof(FileIdentity) == 24);

}  // namespace

bool FileIdentity::operator==(const FileIdentity& other) const {
  return volume == other.volume && std::memcmp(file, other.file, sizeof file) == 0;
}

std::string FileIdentity::Text() const {
  char text[2 * sizeof(volume) + 1 + 2 * sizeof(file) + 1];
  int at = std::snprintf(text, sizeof text, "%016llx:", volume);
  for (const unsigned char byte : file)
    at += std::snprintf(text + at, sizeof text - at, "%02x", byte);
  return text;
}

std::optional<FileIdentity> IdentityOf(void* handle) {
  FileIdentity identity;
  if (::GetFileInformationByHandleEx(handle, kFileIdInfo, &identity, sizeof identity))
    return identity;
  // Windows 7 has only the 64-bit index.
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(handle, &info))
    return std::nullopt;
  identity.volume = info.dwVolumeSerialNumber;
  const ULONGLONG index = (ULONGLONG{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
  std::memcpy(identity.file, &index, sizeof index);
  return identity;
}

std::string IdentityText(void* handle) {
  const std::optional<FileIdentity> identity = IdentityOf(handle);
  return identity ? identity->Text() : std::string();
}

std::string IdentityTextAt(const std::wstring& path, unsigned long access) {
  const HANDLE entry = ::CreateFileW(
      path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (entry == INVALID_HANDLE_VALUE)
    return {};
  std::string text = IdentityText(entry);
  ::CloseHandle(entry);
  return text;
}

}  // namespace larkspur::win32
