#include "firefox/ini.h"

#include <algorithm>
#include <array>

namespace larkspur {

std::string INI::GetFromINI(const std::string& File_Path, const std::string& Section,
                            const std::string& Key) const {
  std::array<char, 255> buffer{};
  const std::uint32_t copied = profile_strings_.GetPrivateProfileString(
      Section, Key, "", buffer.data(), static_cast<std::uint32_t>(buffer.size()), File_Path);
  if (copied == 0)
    return "";
  // Never trust the count beyond the buffer (the NUL takes the last byte).
  return std::string(buffer.data(), std::min<std::size_t>(copied, buffer.size() - 1));
}

}  // namespace larkspur
