#include "platform/win32/file_holders.h"

#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace larkspur::win32 {

namespace {

// FileProcessIdsUsingFileInformation, from the driver kit's headers: a count, then the ids.
constexpr auto kProcessIdsUsingFile = static_cast<FILE_INFORMATION_CLASS>(47);
constexpr NTSTATUS kInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
constexpr NTSTATUS kBufferOverflow = static_cast<NTSTATUS>(0x80000005L);

template <typename Function>
Function NtdllFunction(const char* name) {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll == nullptr ? nullptr
                          : reinterpret_cast<Function>(
                                reinterpret_cast<void (*)()>(::GetProcAddress(ntdll, name)));
}

using QueryFile = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
using QuerySystem = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
using QueryObject = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);

bool SameNameWithoutCase(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() &&
         ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// SystemExtendedHandleInformation, from the driver kit's headers: a count, a reserved word, then
// one entry per handle in the system.
constexpr auto kExtendedHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(64);

struct HandleEntry {
  void* object;
  ULONG_PTR process_id;
  ULONG_PTR handle;
  ULONG granted_access;
  USHORT creator_back_trace_index;
  USHORT object_type_index;
  ULONG attributes;
  ULONG reserved;
};

bool IsSection(HANDLE handle, QueryObject query_object) {
  alignas(8) unsigned char buffer[1024];
  ULONG length = 0;
  if (!NT_SUCCESS(query_object(handle, ObjectTypeInformation, buffer, sizeof buffer, &length)))
    return false;
  const auto* type = reinterpret_cast<const PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer);
  return std::wstring_view(type->TypeName.Buffer, type->TypeName.Length / sizeof(wchar_t)) ==
         L"Section";
}

// This process's own handles to sections.
std::vector<HANDLE> OwnSections() {
  static const auto query_system = NtdllFunction<QuerySystem>("NtQuerySystemInformation");
  static const auto query_object = NtdllFunction<QueryObject>("NtQueryObject");
  std::vector<HANDLE> sections;
  if (query_system == nullptr || query_object == nullptr)
    return sections;
  std::vector<ULONG_PTR> table(64 * 1024);
  NTSTATUS status = kInfoLengthMismatch;
  for (int attempt = 0; attempt < 8 && status == kInfoLengthMismatch; ++attempt) {
    ULONG needed = 0;
    status = query_system(kExtendedHandleInformation, table.data(),
                          static_cast<ULONG>(table.size() * sizeof(ULONG_PTR)), &needed);
    if (status == kInfoLengthMismatch)
      table.resize(std::max<std::size_t>(table.size() * 2, needed / sizeof(ULONG_PTR) + 1024));
  }
  if (!NT_SUCCESS(status))
    return sections;
  const ULONG_PTR count = table[0];
  const std::size_t room = (table.size() - 2) * sizeof(ULONG_PTR) / sizeof(HandleEntry);
  const auto* entries = reinterpret_cast<const HandleEntry*>(table.data() + 2);
  const ULONG_PTR self = ::GetCurrentProcessId();
  for (ULONG_PTR at = 0; at < count && at < room; ++at) {
    const auto handle = reinterpret_cast<HANDLE>(entries[at].handle);
    if (entries[at].process_id == self && IsSection(handle, query_object))
      sections.push_back(handle);
  }
  return sections;
}

}  // namespace

std::optional<bool> HeldByOtherProcess(void* handle) {
  static const auto query = NtdllFunction<QueryFile>("NtQueryInformationFile");
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

std::vector<std::wstring> FilesMappedHere() {
  std::vector<std::wstring> files;
  std::vector<wchar_t> name(32768);
  const auto add_file_of = [&](const void* view) {
    const DWORD length = ::GetMappedFileNameW(::GetCurrentProcess(), const_cast<void*>(view),
                                              name.data(), static_cast<DWORD>(name.size()));
    if (length > 0)
      files.emplace_back(name.data(), length);
  };
  MEMORY_BASIC_INFORMATION region{};
  for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.Type == MEM_MAPPED && region.BaseAddress == region.AllocationBase)
      add_file_of(region.BaseAddress);
  }
  // A section without a view: a view of one page of it names its file.
  for (const HANDLE section : OwnSections()) {
    if (void* view = ::MapViewOfFile(section, FILE_MAP_READ, 0, 0, 1)) {
      add_file_of(view);
      ::UnmapViewOfFile(view);
    }
  }
  return files;
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
