#include "platform/win32/win32_profile_strings.h"

#include <windows.h>
#undef GetPrivateProfileString  // the port's method, not windows.h's name for the ANSI or wide call

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/code_page.h"

namespace larkspur {

namespace {

// The longest start of `text` that fits `limit` bytes without splitting a UTF-8 character.
std::size_t Utf8Prefix(const std::string& text, std::size_t limit) {
  if (text.size() <= limit)
    return text.size();
  std::size_t end = limit;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
    --end;
  return end;
}

}  // namespace

std::uint32_t Win32ProfileStrings::GetPrivateProfileString(const std::string& section,
                                                           const std::string& key,
                                                           const std::string& default_value,
                                                           char* buffer, std::uint32_t size,
                                                           const std::string& file_path) {
  if (buffer == nullptr || size == 0)
    return 0;
  std::vector<char> ansi(size, '\0');
  const DWORD copied = ::GetPrivateProfileStringA(
      AnsiFromUtf8(section).c_str(), AnsiFromUtf8(key).c_str(), AnsiFromUtf8(default_value).c_str(),
      ansi.data(), size, AnsiFromUtf8(file_path).c_str());
  const std::string raw(ansi.data(), copied);
  // Firefox writes its INI files in UTF-8, which the call hands over byte for byte; other text
  // is in the code page.
  const std::string text = IsUtf8(raw) ? raw : Utf8FromAnsi(raw);
  if (text == raw) {
    std::memcpy(buffer, ansi.data(), std::min<std::size_t>(copied + 1, size));
    return copied;
  }
  const std::size_t length = Utf8Prefix(text, size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<std::uint32_t>(length);
}

}  // namespace larkspur
