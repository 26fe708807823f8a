#include "platform/win32/win32_file_to_read.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/win32/code_page.h"
#include "platform/win32/file_identity.h"
#include "platform/win32/win32_folder_tree.h"

namespace larkspur::win32 {

namespace {

class Win32FileToRead final : public FileToRead {
 public:
  explicit Win32FileToRead(HANDLE file) : file_(file) {}
  ~Win32FileToRead() override { ::CloseHandle(file_); }
  Win32FileToRead(const Win32FileToRead&) = delete;
  Win32FileToRead& operator=(const Win32FileToRead&) = delete;

  std::optional<std::uint64_t> Size() override {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file_, &size))
      return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  std::optional<std::size_t> ReadAt(std::uint64_t offset, void* into, std::size_t size) override {
    std::size_t done = 0;
    while (done < size) {
      // The offset rides on each call, so no shared file position is used.
      OVERLAPPED at{};
      const std::uint64_t position = offset + done;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
      DWORD read = 0;
      if (!::ReadFile(file_, static_cast<char*>(into) + done, chunk, &read, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF)
          break;
        return std::nullopt;
      }
      if (read == 0)
        break;
      done += read;
    }
    return done;
  }

 private:
  HANDLE file_;
};

// The name the system has for what `handle` opened, with every unix link resolved under Wine.
std::wstring FinalName(HANDLE handle) {
  std::wstring name(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length =
        ::GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                    FILE_NAME_NORMALIZED | VOLUME_NAME_NT);
    if (length == 0)
      return {};
    if (length < name.size()) {
      name.resize(length);
      return name;
    }
    name.resize(length + 1);
  }
  return {};
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::unique_ptr<FileToRead> OpenFileToRead(void* folder, const std::wstring& folder_path,
                                           const std::string& name, bool* absent) {
  *absent = false;
  const std::wstring wide = WideFromUtf8(name);
  if (wide.empty() || wide == L"." || wide == L".." ||
      wide.find_first_of(std::wstring_view(L"\\/:\0", 4)) != std::wstring::npos)
    return nullptr;
  // Every kind of sharing: reading never stands in another program's way (Firefox removes its
  // log as it closes), and what is read is what the handle holds, whatever the name does.
  const HANDLE file = ::CreateFileW(LongPath(folder_path + L"\\" + wide).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    *absent = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return nullptr;
  }
  auto opened = std::make_unique<Win32FileToRead>(file);
  BY_HANDLE_FILE_INFORMATION info{};
  const std::optional<FileIdentity> outer = IdentityOf(folder);
  const std::optional<FileIdentity> inner = IdentityOf(file);
  // Under Wine a unix link opens as its target even when asked not to; only the name that the
  // system gives the handle tells.
  const std::wstring folder_name = FinalName(folder);
  if (!::GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
      ::GetFileType(file) != FILE_TYPE_DISK || !outer || !inner || outer->volume != inner->volume ||
      folder_name.empty() ||
      !SameText(FinalName(file), folder_name + (folder_name.back() == L'\\' ? L"" : L"\\") + wide))
    return nullptr;
  return opened;
}

}  // namespace larkspur::win32
