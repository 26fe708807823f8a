#pragma once
// Status lines carry names from the disk and the stores. On a terminal, a newline in a name
// would forge a line of its own and an escape sequence could rewrite the screen, so the
// command line prints them escaped; the window shows them as they are.
#include <algorithm>
#include <cstdio>
#include <string>

namespace larkspur {

namespace console_text_detail {

// The length of the valid UTF-8 sequence at text[at], or 0 for a byte that starts none.
inline std::size_t Utf8Length(const std::string& text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const std::size_t length = lead < 0x80   ? 1
                             : lead < 0xC2 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 0;
  if (length == 0 || at + length > text.size())
    return 0;
  for (std::size_t next = at + 1; next < at + length; ++next) {
    if ((static_cast<unsigned char>(text[next]) & 0xC0) != 0x80)
      return 0;
  }
  return length;
}

}  // namespace console_text_detail

// Control characters (C0, DEL, and C1 written as UTF-8) and bytes that are no UTF-8 become
// C-style escapes: "\n", "\t", "\r", else "\xNN" per byte. Everything else, backslashes of
// Windows paths included, stays as it is.
inline std::string ConsoleLine(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    std::size_t length = console_text_detail::Utf8Length(text, at);
    const bool c1_control =
        length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) < 0xA0;
    if (length > 1 && !c1_control) {
      line.append(text, at, length);
      at += length;
      continue;
    }
    length = std::max<std::size_t>(length, 1);
    for (std::size_t end = at + length; at < end; ++at) {
      const auto c = static_cast<unsigned char>(text[at]);
      if (c == '\n') {
        line += "\\n";
      } else if (c == '\t') {
        line += "\\t";
      } else if (c == '\r') {
        line += "\\r";
      } else if (c < 0x20 || c >= 0x7F) {
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
        line += escaped;
      } else {
        line += static_cast<char>(c);
      }
    }
  }
  return line;
}

}  // namespace larkspur
