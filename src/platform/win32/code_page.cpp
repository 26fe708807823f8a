#include "platform/win32/code_page.h"

#include <windows.h>

#include <climits>

namespace larkspur {

namespace {

std::wstring ToWide(UINT code_page, DWORD flags, std::string_view text) {
  if (text.empty() || text.size() > INT_MAX)
    return {};
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(code_page, flags, text.data(), size, nullptr, 0);
  if (length <= 0)
    return {};
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(code_page, flags, text.data(), size, wide.data(), length);
  return wide;
}

std::string FromWide(UINT code_page, DWORD flags, std::wstring_view wide) {
  if (wide.empty() || wide.size() > INT_MAX)
    return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      ::WideCharToMultiByte(code_page, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0)
    return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(code_page, flags, wide.data(), size, text.data(), length, nullptr,
                        nullptr);
  return text;
}

bool IsAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  return true;
}

}  // namespace

std::string AnsiFromUtf8(std::string_view utf8) {
  return IsAscii(utf8) ? std::string(utf8) : FromWide(CP_ACP, 0, ToWide(CP_UTF8, 0, utf8));
}

std::string Utf8FromAnsi(std::string_view ansi) {
  return IsAscii(ansi) ? std::string(ansi) : FromWide(CP_UTF8, 0, ToWide(CP_ACP, 0, ansi));
}

std::wstring WideFromUtf8(std::string_view utf8) {
  return ToWide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
}

std::string Utf8FromWide(std::wstring_view wide) {
  return FromWide(CP_UTF8, WC_ERR_INVALID_CHARS, wide);
}

bool IsUtf8(std::string_view text) {
  return text.empty() || !WideFromUtf8(text).empty();
}

}  // namespace larkspur
