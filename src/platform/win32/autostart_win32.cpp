// Start at sign-in on Windows: the value "Larkspur" under the user's Run key.
#include <windows.h>

#include <string>

#include "platform/autostart.h"

namespace larkspur {

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Larkspur";

std::wstring RunningProgram() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return L"";
    if (length < path.size())
      return path.substr(0, length);
    path.resize(path.size() * 2);
  }
}

class RunKeyAutostart final : public AutostartPort {
 public:
  bool IsOn() override {
    return ::RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, nullptr,
                          nullptr) == ERROR_SUCCESS;
  }

  bool SetOn(bool on) override {
    if (!on) {
      const LSTATUS deleted = ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kValueName);
      return deleted == ERROR_SUCCESS || deleted == ERROR_FILE_NOT_FOUND;
    }
    const std::wstring program = RunningProgram();
    if (program.empty())
      return false;
    // Quoted: a path with spaces would otherwise start whatever its first word names.
    const std::wstring command = L"\"" + program + L"\" --tray";
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
      return false;
    const LSTATUS set =
        ::RegSetValueExW(key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                         static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return set == ERROR_SUCCESS;
  }
};

}  // namespace

std::unique_ptr<AutostartPort> MakeAutostart(const UserFolders&) {
  return std::make_unique<RunKeyAutostart>();
}

}  // namespace larkspur
