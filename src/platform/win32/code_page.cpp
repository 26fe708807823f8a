#include "platform/win32/code_page.h"

#include <windows.h>

namespace larkspur {

namespace {

std::wstring ToWide(UINT code_page, std::string_view text) {
  if (text.empty())
    return {};
  const int length =
      ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
  return wide;
}

std::string FromWide(UINT code_page, std::wstring_view wide) {
  if (wide.empty())
    return {};
  const int length = ::WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  ::WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                        length, nullptr, nullptr);
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
  return IsAscii(utf8) ? std::string(utf8) : FromWide(CP_ACP, ToWide(CP_UTF8, utf8));
}

std::string Utf8FromAnsi(std::string_view ansi) {
  return IsAscii(ansi) ? std::string(ansi) : FromWide(CP_UTF8, ToWide(CP_ACP, ansi));
}

std::wstring WideFromUtf8(std::string_view utf8) {
  return ToWide(CP_UTF8, utf8);
}

std::string Utf8FromWide(std::wstring_view wide) {
  return FromWide(CP_UTF8, wide);
}

bool IsUtf8(std::string_view text) {
  return text.empty() || ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

}  // namespace larkspur
