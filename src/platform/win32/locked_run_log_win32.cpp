#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/locked_run_log.h"
#include "platform/win32/win32_folder_tree.h"

namespace larkspur {

namespace {

using win32::FullPath;
using win32::LongPath;

// Far beyond any log's end, so that the lock never stands in the way of a reader such as
// Notepad: Windows' byte-range locks are binding on every other handle.
constexpr DWORD kLockOffsetHigh = 0x40000000;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct HandleCloser {
  void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

UniqueHandle Owned(HANDLE handle) {
  return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// The full name of what `handle` has open. Under Wine it is the unix path with every link
// resolved, which is how a unix link, opened as its target even with FILE_FLAG_OPEN_REPARSE_POINT,
// shows itself.
std::wstring NameOf(HANDLE handle) {
  using QueryObject = decltype(&::NtQueryObject);
  static const auto query_object = reinterpret_cast<QueryObject>(reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryObject")));
  if (query_object == nullptr)
    return {};
  constexpr ULONG kBytes = sizeof(OBJECT_NAME_INFORMATION) + 65536;
  const auto buffer = std::make_unique_for_overwrite<ULONGLONG[]>(kBytes / sizeof(ULONGLONG));
  ULONG length = 0;
  if (!NT_SUCCESS(query_object(handle, ObjectNameInformation, buffer.get(), kBytes, &length)))
    return {};
  const auto* info = reinterpret_cast<const OBJECT_NAME_INFORMATION*>(buffer.get());
  return std::wstring(info->Name.Buffer, info->Name.Length / sizeof(wchar_t));
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return a.size() == b.size() &&
         ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// A regular file on a disk, not a reparse point, and the entry `name` of `folder` itself.
bool IsPlainFileIn(HANDLE log, HANDLE folder, const std::wstring& name) {
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (::GetFileType(log) != FILE_TYPE_DISK ||
      !::GetFileInformationByHandleEx(log, FileAttributeTagInfo, &tag, sizeof tag) ||
      (tag.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
    return false;
  std::wstring expected = NameOf(folder);
  if (expected.empty())
    return false;
  if (expected.back() != L'\\')
    expected += L'\\';
  return SameText(NameOf(log), expected + name);
}

bool WriteAt(HANDLE handle, std::uint64_t offset, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset + done);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
    DWORD written = 0;
    if (!::WriteFile(handle, text.data() + done, chunk, &written, &at) || written == 0)
      return false;
    done += written;
  }
  return true;
}

class Win32RunLog final : public LockedRunLog {
 public:
  explicit Win32RunLog(UniqueHandle log) : log_(std::move(log)) {}

  std::optional<std::uint64_t> Size() override {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(log_.get(), &size))
      return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  bool ReadAt(std::uint64_t offset, std::size_t length, std::string* text) override {
    text->resize(length);
    std::size_t done = 0;
    while (done < length) {
      OVERLAPPED at{};
      at.Offset = static_cast<DWORD>(offset + done);
      at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(length - done, 1 << 20));
      DWORD got = 0;
      if (!::ReadFile(log_.get(), text->data() + done, chunk, &got, &at) &&
          ::GetLastError() != ERROR_HANDLE_EOF)
        return false;
      if (got == 0)
        break;
      done += got;
    }
    text->resize(done);
    return true;
  }

  bool Append(const std::string& text) override {
    const std::optional<std::uint64_t> size = Size();
    return size && WriteAt(log_.get(), *size, text);
  }

  // In place, under the lock: Windows (and Wine) refuse to rename a file over one that is open,
  // and every run waiting for the lock holds the log open. So there is no second file whose
  // name anything could be waiting at.
  bool Replace(const std::string& text) override {
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(text.size());
    return WriteAt(log_.get(), 0, text) &&
           ::SetFilePointerEx(log_.get(), end, nullptr, FILE_BEGIN) && ::SetEndOfFile(log_.get()) &&
           ::FlushFileBuffers(log_.get());
  }

 private:
  UniqueHandle log_;  // the lock goes with the handle
};

}  // namespace

std::unique_ptr<LockedRunLog> LockRunLog(const std::string& path) {
  const std::wstring full = FullPath(path);
  const std::size_t cut = full.rfind(L'\\');
  if (full.empty() || cut == std::wstring::npos || cut + 1 == full.size())
    return nullptr;
  const std::wstring name = full.substr(cut + 1);
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(full.substr(0, cut)), error);
  const UniqueHandle folder =
      Owned(::CreateFileW(LongPath(full.substr(0, cut)).c_str(), 0, kShareAll, nullptr,
                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder)
    return nullptr;

  // Opened if it is there, made only where nothing is: under Wine a dangling unix link at the
  // name would otherwise be followed and its target made.
  const std::wstring long_path = LongPath(full);
  const DWORD access = GENERIC_READ | GENERIC_WRITE;
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT;
  UniqueHandle log;
  for (int attempt = 0; !log && attempt < 3; ++attempt) {
    log = Owned(::CreateFileW(long_path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags,
                              nullptr));
    if (!log && ::GetLastError() == ERROR_FILE_NOT_FOUND)
      log = Owned(
          ::CreateFileW(long_path.c_str(), access, kShareAll, nullptr, CREATE_NEW, flags, nullptr));
    else if (!log)
      return nullptr;
  }
  if (!log || !IsPlainFileIn(log.get(), folder.get(), name))
    return nullptr;
  OVERLAPPED beyond_end{};
  beyond_end.OffsetHigh = kLockOffsetHigh;
  if (!::LockFileEx(log.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &beyond_end))
    return nullptr;
  return std::make_unique<Win32RunLog>(std::move(log));
}

}  // namespace larkspur
