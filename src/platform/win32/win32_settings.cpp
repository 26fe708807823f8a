#include "platform/win32/win32_settings.h"

#include <windows.h>

#include <vector>

#include "platform/win32/code_page.h"

namespace larkspur {

namespace {

std::wstring KeyPath(const std::string& application, const std::string& section) {
  return WideFromUtf8("Software\\" + application + "\\" + section);
}

}  // namespace

std::string Win32Settings::GetSetting(const std::string& application, const std::string& section,
                                      const std::string& key, const std::string& default_value) {
  const std::wstring name = WideFromUtf8(key);
  DWORD bytes = 0;
  const std::wstring path = KeyPath(application, section);
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                     &bytes) != ERROR_SUCCESS)
    return default_value;
  std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                     text.data(), &bytes) != ERROR_SUCCESS)
    return default_value;
  return Utf8FromWide(text.data());
}

bool Win32Settings::SaveSetting(const std::string& application, const std::string& section,
                                const std::string& key, const std::string& value) {
  HKEY handle = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(application, section).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS)
    return false;
  const std::wstring text = WideFromUtf8(value);
  const LSTATUS set = ::RegSetValueExW(handle, WideFromUtf8(key).c_str(), 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(handle);
  return set == ERROR_SUCCESS;
}

}  // namespace larkspur
