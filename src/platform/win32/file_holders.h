#pragma once
// Who holds a file open, learnt without taking part in the file's sharing: neither the question
// nor the handle it is asked on can make another program's open fail.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace larkspur::win32 {

// Access for a handle that only asks: with no data and no delete access, an open takes no part
// in sharing checks (MS-FSA 2.1.5.1.2.2: only FILE_READ_DATA, FILE_EXECUTE, FILE_WRITE_DATA,
// FILE_APPEND_DATA and DELETE are checked, on either side), so it succeeds while a program holds
// the file without sharing, and that program's next exclusive open succeeds while it is open.
inline constexpr unsigned long kQueryOnlyAccess = 0x80;  // FILE_READ_ATTRIBUTES

// Whether a process other than this one has the file of `handle` open; nullopt when the file
// system does not say (Wine does not, nor do some network file systems).
std::optional<bool> HeldByOtherProcess(void* handle);

// The files this process has mapped into memory, or holds a section of, as NtQueryObject names
// an open handle's file: such a file cannot be deleted meanwhile (wininet keeps its index.dat
// so, mapping a view of it only while it works on it).
std::vector<std::wstring> FilesMappedHere();

// Whether a process whose program file is `exe_name` ("firefox.exe") runs, compared without case.
bool ProgramRuns(std::wstring_view exe_name);

}  // namespace larkspur::win32
