#pragma once
// What the system knows a file or folder by, whatever the path that reached it: the same for
// every opening of it, so that a preview can tell that two ways reached one thing.
#include <optional>
#include <string>

namespace larkspur::win32 {

// Laid out as FILE_ID_INFO, which the Windows 7 headers lack: ReFS needs all 128 bits.
struct FileIdentity {
  unsigned long long volume = 0;
  unsigned char file[16] = {};

  bool operator==(const FileIdentity& other) const;
  // "volume:file" in hex, for a preview's ledger and for comparing profile folders.
  std::string Text() const;
};

// `handle` is an open HANDLE of any access.
std::optional<FileIdentity> IdentityOf(void* handle);

// The text of IdentityOf, or empty when the system does not say.
std::string IdentityText(void* handle);

// The text for the entry at `path` (a link itself, not its target), opened with `access` and
// every kind of sharing; empty when it cannot be opened so.
std::string IdentityTextAt(const std::wstring& path, unsigned long access);

}  // namespace larkspur::win32
