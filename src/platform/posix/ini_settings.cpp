#include "platform/posix/ini_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/ascii_case.h"
#include "platform/posix/store_file.h"

namespace larkspur {

namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos)
    return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// "[name]" gives name; anything else nullopt.
std::optional<std::string> SectionName(const std::string& line) {
  const std::string trimmed = Trimmed(line);
  if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']')
    return std::nullopt;
  return Trimmed(trimmed.substr(1, trimmed.size() - 2));
}

bool IsKeyLine(const std::string& line, const std::string& key, std::string* value) {
  const std::size_t equals = line.find('=');
  if (equals == std::string::npos || !EqualsIgnoringAsciiCase(Trimmed(line.substr(0, equals)), key))
    return false;
  if (value != nullptr)
    *value = line.substr(equals + 1);
  if (value != nullptr && !value->empty() && value->back() == '\r')
    value->pop_back();
  return true;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// Settings keys and sections are plain names; a line break or a bracket would change the file's
// structure.
bool IsPlainName(const std::string& text) {
  return !text.empty() && text.find_first_of("\r\n[]=") == std::string::npos;
}

// Read-only for this user, or for everyone (as root may write anything, a file without any
// write permission is what a user who made it read-only leaves).
bool IsReadOnly(const std::string& file) {
  struct stat state {};
  return ::stat(file.c_str(), &state) != 0 || (state.st_mode & 0222) == 0 ||
         ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0;
}

}  // namespace

std::string IniSettings::FileOf(const std::string& application) const {
  if (config_folder_.empty() || !IsPlainName(application) ||
      application.find('/') != std::string::npos || application == "." || application == "..")
    return "";
  return config_folder_ + "/" + application + "/settings.ini";
}

std::string IniSettings::GetSetting(const std::string& application, const std::string& section,
                                    const std::string& key, const std::string& default_value) {
  const std::string file = FileOf(application);
  const std::optional<StoreText> store = file.empty() ? std::nullopt : ReadStore(file);
  if (!store)
    return default_value;
  bool in_section = false;
  for (const std::string& line : Lines(store->text)) {
    if (const std::optional<std::string> name = SectionName(line)) {
      in_section = EqualsIgnoringAsciiCase(*name, section);
      continue;
    }
    std::string value;
    if (in_section && IsKeyLine(line, key, &value))
      return value;
  }
  return default_value;
}

bool IniSettings::SaveSetting(const std::string& application, const std::string& section,
                              const std::string& key, const std::string& value) {
  const std::string file = FileOf(application);
  if (file.empty() || !IsPlainName(section) || !IsPlainName(key) ||
      value.find_first_of("\r\n") != std::string::npos)
    return false;
  LockedStore store(file);
  if (store.contents() && store.contents()->damaged)
    return false;  // rewriting it would lose what is in it
  const std::string text = store.contents() ? store.contents()->text : std::string();

  std::vector<std::string> lines = Lines(text);
  const std::string entry = key + "=" + value;
  bool in_section = false;
  std::optional<std::size_t> section_end;
  for (std::size_t index = 0; index < lines.size(); ++index) {
    if (const std::optional<std::string> name = SectionName(lines[index])) {
      if (in_section)
        break;
      in_section = EqualsIgnoringAsciiCase(*name, section);
      if (in_section)
        section_end = index + 1;
      continue;
    }
    if (!in_section)
      continue;
    if (IsKeyLine(lines[index], key, nullptr)) {
      lines[index] = entry;
      section_end.reset();
      break;
    }
    if (!Trimmed(lines[index]).empty())
      section_end = index + 1;
  }
  if (section_end) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*section_end), entry);
  } else if (!in_section) {
    if (!lines.empty() && !Trimmed(lines.back()).empty())
      lines.emplace_back();
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
  }

  std::string contents;
  for (const std::string& line : lines)
    contents += line + "\n";
  if (store.contents()) {
    if (contents == text)
      return true;  // already kept: a read-only file that says so is no failure
    // The rename would replace a file the user made read-only all the same.
    return !IsReadOnly(file) && store.Replace(contents);
  }
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(file).parent_path(), error);
  return WriteFileAtomically(file, contents);
}

}  // namespace larkspur
