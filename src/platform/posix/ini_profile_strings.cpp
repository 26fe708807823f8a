#include "platform/posix/ini_profile_strings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/ascii_case.h"
#include "platform/posix/unique_fd.h"

namespace larkspur {

namespace {

// Longer lines keep only their start: a file without line breaks cannot fill the memory, and no
// caller reads values anywhere near this long.
constexpr std::size_t kMaxLine = std::size_t{1} << 20;
constexpr std::size_t kChunk = std::size_t{64} << 10;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Windows also counts the other control blanks and ^Z (an old end-of-file mark) as blanks.
bool IsBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1a';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// Windows keeps names and values as C strings: a NUL read from the file ends them.
std::string_view UpToNul(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

// One pair of equal quotes around the whole value goes; a quote alone stays.
std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

std::uint32_t CopyOut(std::string_view text, char* buffer, std::uint32_t size) {
  const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<std::uint32_t>(count);
}

// Windows drops trailing spaces from the default and unquotes it like a value.
std::string_view DefaultText(const std::string& default_value) {
  std::string_view text = UpToNul(default_value);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  return Unquote(text);
}

// Walks the lines of an INI file, split at CR and LF alike, looking for one key.
class KeyFinder {
 public:
  KeyFinder(std::string_view section, std::string_view key) : section_(section), key_(key) {}

  // False once the answer is known.
  bool Line(std::string_view line) {
    if (first_line_ && line.starts_with(kUtf8Bom))
      line.remove_prefix(kUtf8Bom.size());
    first_line_ = false;
    line = Trim(line);
    if (line.empty())
      return true;
    if (line.front() == '[') {
      const std::size_t close = line.rfind(']');
      // A '[' line without ']' is an ordinary line.
      if (close != std::string_view::npos) {
        if (in_section_)
          return false;  // only the first section with the name counts
        in_section_ = EqualsIgnoringAsciiCase(UpToNul(Trim(line.substr(1, close - 1))), section_);
        return true;
      }
    }
    if (!in_section_)
      return true;
    const std::size_t equals = line.find('=');
    // A matching line without '=' still hides later ones; it answers the default.
    if (!EqualsIgnoringAsciiCase(UpToNul(Trim(line.substr(0, equals))), key_))
      return true;
    if (equals != std::string_view::npos)
      value_ = std::string(Trim(line.substr(equals + 1)));
    return false;
  }

  const std::optional<std::string>& value() const { return value_; }

 private:
  std::string_view section_;
  std::string_view key_;
  bool first_line_ = true;
  bool in_section_ = false;
  std::optional<std::string> value_;
};

std::optional<std::string> FindValue(const std::string& file_path, std::string_view section,
                                     std::string_view key) {
  // Directories, pipes and devices are no INI files; reading /dev/zero would never end, and a
  // FIFO would keep the open waiting. What was opened is checked again.
  struct stat state {};
  if (::stat(file_path.c_str(), &state) != 0 || !S_ISREG(state.st_mode))
    return std::nullopt;
  const UniqueFd in(::open(file_path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!in || ::fstat(in.get(), &state) != 0 || !S_ISREG(state.st_mode))
    return std::nullopt;

  KeyFinder finder(section, key);
  std::string chunk(kChunk, '\0');
  std::string line;
  for (;;) {
    const ssize_t got = ::read(in.get(), chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR)
      continue;
    if (got <= 0)
      break;
    std::string_view data(chunk.data(), static_cast<std::size_t>(got));
    for (;;) {
      const std::size_t end = data.find_first_of("\r\n");
      const std::string_view piece = data.substr(0, end);
      line.append(piece.substr(0, kMaxLine - std::min(kMaxLine, line.size())));
      if (end == std::string_view::npos)
        break;
      if (!finder.Line(line))
        return finder.value();
      line.clear();
      data.remove_prefix(end + 1);
    }
  }
  if (!line.empty())
    finder.Line(line);
  return finder.value();
}

}  // namespace

std::uint32_t IniProfileStrings::GetPrivateProfileString(const std::string& section,
                                                         const std::string& key,
                                                         const std::string& default_value,
                                                         char* buffer, std::uint32_t size,
                                                         const std::string& file_path) {
  if (buffer == nullptr || size == 0)
    return 0;
  try {
    const std::optional<std::string> value =
        FindValue(file_path, Trim(UpToNul(section)), Trim(UpToNul(key)));
    if (value)
      return CopyOut(Unquote(UpToNul(*value)), buffer, size);
  } catch (...) {
    // Out of memory or a failing read: answer as for a missing file.
  }
  return CopyOut(DefaultText(default_value), buffer, size);
}

}  // namespace larkspur
