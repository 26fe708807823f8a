#include "win32/unix_links.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/win32/code_page.h"
#include "support/temp_dir.h"
#include "support/wine.h"

namespace larkspur {

namespace testing {

namespace fs = std::filesystem;

namespace {

std::wstring UnixPath(const fs::path& path) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = unix_name == nullptr ? nullptr : unix_name(path.c_str());
  const std::wstring wide = name == nullptr ? std::wstring() : WideFromUtf8(name);
  ::HeapFree(::GetProcessHeap(), 0, name);
  return wide;
}

// Runs a shell command on the unix side and waits for it. Wine gives no handle to wait on for
// a unix program, so the command leaves a mark when it is done.
bool RunUnix(const std::wstring& command) {
  const fs::path folder = MakeUniqueFolder(SandboxRoot(), "unix-");
  const fs::path mark = folder / "done";
  std::wstring line = L"/bin/sh -c \"" + command + L"; touch '" + UnixPath(mark) + L"'\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  bool done = ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process);
  for (int attempt = 0; done && !fs::exists(mark) && attempt < 1000; ++attempt)
    ::Sleep(10);
  done = done && fs::exists(mark);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return done;
}

}  // namespace

// Links as Wine users meet them: unix symlinks, since Wine's own CreateSymbolicLinkW does
// nothing. False when none can be made (also on Windows, where these tests then skip). Neither
// Wine nor TempDir's clean-up can remove a unix link without harm (the clean-up even hangs on
// one), so each test removes its links with RemoveLink.
bool MakeLink(const fs::path& target, const fs::path& link) {
  return RunningUnderWine() &&
         RunUnix(L"ln -s '" + UnixPath(target) + L"' '" + UnixPath(link) + L"'") &&
         ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveLink(const fs::path& link) {
  RunUnix(L"rm -f '" + UnixPath(link) + L"'");
}

// The loop ends when the stop mark appears (it then removes the mark) or the link's folder goes.
bool SwapLink(const fs::path& link, const fs::path& first, const fs::path& second) {
  const std::wstring at = L"'" + UnixPath(link) + L"'";
  const std::wstring next = L"'" + UnixPath(link) + L".next'";
  const std::wstring stop = L"'" + UnixPath(link) + L".stop'";
  std::wstring loop =
      L"while [ -d '" + UnixPath(link.parent_path()) + L"' ] && [ ! -e " + stop + L" ]; do ";
  for (const fs::path& target : {first, second})
    loop +=
        L"ln -sfn '" + UnixPath(target) + L"' " + next + L" && mv -Tf " + next + L" " + at + L"; ";
  loop += L"done; rm -f " + stop;
  return RunningUnderWine() && RunUnix(L"(" + loop + L") </dev/null >/dev/null 2>&1 & true");
}

void StopSwapping(const fs::path& link) {
  fs::path stop = link;
  stop += ".stop";
  WriteFile(stop, "");
  for (int attempt = 0; fs::exists(stop) && attempt < 1000; ++attempt)
    ::Sleep(10);
}

// Wine does not answer attributes for a FIFO, so the unix side is trusted.
bool MakeFifo(const fs::path& path) {
  return RunningUnderWine() && RunUnix(L"mkfifo '" + UnixPath(path) + L"'");
}

fs::path ThroughDriveZ(const fs::path& path) {
  std::wstring unix_path = UnixPath(path);
  if (unix_path.empty())
    return {};
  std::replace(unix_path.begin(), unix_path.end(), L'/', L'\\');
  return L"Z:" + unix_path;
}

}  // namespace testing

}  // namespace larkspur
