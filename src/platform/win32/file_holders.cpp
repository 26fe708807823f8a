#include "platform/win32/file_holders.h"

#include <windows.h>

#include <tlhelp32.h>
#include <winternl.h>

#include <cstdint>
#include <vector>

namespace larkspur::win32 {

namespace {

// FileProcessIdsUsingFileInformation, from the driver kit's headers: a count, then the ids.
constexpr auto kProcessIdsUsingFile = static_cast<FILE_INFORMATION_CLASS>(47);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
constexpr NTSTATUS kBufferOverflow = static_cast<NTSTATUS>(0x80000005L);

using QueryFile = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);

QueryFile QueryFunction() {
  static const QueryFile query = [] {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll == nullptr ? nullptr
                            : reinterpret_cast<QueryFile>(reinterpret_cast<void (*)()>(
                                  ::GetProcAddress(ntdll, "NtQueryInformationFile")));
  }();
  return query;
}

bool SameNameWithoutCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::optional<bool> HeldByOtherProcess(void* handle) {
  const QueryFile query = QueryFunction();
  if (query == nullptr)
    return std::nullopt;
  // Room for 64 ids first; a file held by more is asked again with room for all.
  std::vector<ULONG_PTR> ids(1 + 64);
  for (int attempt = 0; attempt < 4; ++attempt) {
    IO_STATUS_BLOCK io{};
    const auto bytes = static_cast<ULONG>(ids.size() * sizeof(ULONG_PTR));
    const NTSTATUS status = query(handle, &io, ids.data(), bytes, kProcessIdsUsingFile);
    if (status == kInfoLengthMismatch || status == kBufferOverflow) {
      ids.resize(ids.size() * 16);
      continue;
    }
    if (!NT_SUCCESS(status))
      return std::nullopt;
    const auto count = static_cast<std::uint32_t>(ids[0]);
    if (count > ids.size() - 1)
      return std::nullopt;
    const ULONG_PTR self = ::GetCurrentProcessId();
    for (std::uint32_t at = 1; at <= count; ++at) {
      if (ids[at] != self)
        return true;
    }
    return false;
  }
  return std::nullopt;
}

bool ProgramRuns(std::wstring_view exe_name) {
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE)
    return false;
  PROCESSENTRY32W process{};
  process.dwSize = sizeof process;
  bool found = false;
  for (BOOL more = ::Process32FirstW(snapshot, &process); more && !found;
       more = ::Process32NextW(snapshot, &process))
    found = SameNameWithoutCase(process.szExeFile, exe_name);
  ::CloseHandle(snapshot);
  return found;
}

}  // namespace larkspur::win32
