#include "platform/posix/regedit4_registry.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/ascii_case.h"
#include "platform/posix/store_file.h"

namespace larkspur {

// What one version of the file holds; outside the unnamed namespace only because the registry
// keeps the last one it read.
struct StoredValue {
  std::string key_id;
  std::string name;  // folded
  std::uint32_t type;
  std::string data;
  std::size_t begin, end;  // its lines in the file, line ends included
};

struct RegFile {
  std::string text;
  bool damaged = false;
  std::vector<std::string> key_ids;  // keys under HKEY_CURRENT_USER
  std::vector<StoredValue> values;   // in file order; of repeated ones the last counts
};

namespace {

constexpr long kErrorNotEnoughMemory = 8;
constexpr long kErrorInvalidParameter = 87;
constexpr std::uint32_t kRegMultiSz = 7;

// "Software\Foo\" and "software\foo" name the same key.
std::string KeyId(std::string_view path) {
  if (!path.empty() && path.back() == '\\')
    path.remove_suffix(1);
  return AsciiFolded(path);
}

bool IsWithin(const std::string& key_id, const std::string& ancestor_id) {
  return ancestor_id.empty() || key_id == ancestor_id ||
         (key_id.size() > ancestor_id.size() && key_id.starts_with(ancestor_id) &&
          key_id[ancestor_id.size()] == '\\');
}

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  return text;
}

std::string_view Trim(std::string_view text) {
  text = TrimLeft(text);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

// Up to eight hex digits and nothing else.
std::optional<std::uint32_t> ParseHexNumber(std::string_view text) {
  if (text.empty() || text.size() > 8)
    return std::nullopt;
  std::uint32_t value = 0;
  for (char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0)
      return std::nullopt;
    value = value << 4 | static_cast<std::uint32_t>(digit);
  }
  return value;
}

// "01,ff, 0a" as regedit writes it; a comma may close the list.
std::optional<std::string> ParseHexList(std::string_view text) {
  std::string bytes;
  text = Trim(text);
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view token = Trim(text.substr(0, comma));
    const auto byte = ParseHexNumber(token);
    if (token.size() > 2 || !byte)
      return std::nullopt;
    bytes.push_back(static_cast<char>(*byte));
    if (comma == std::string_view::npos)
      break;
    text = TrimLeft(text.substr(comma + 1));
  }
  return bytes;
}

// A quoted name or string at the start of `text`, which is advanced past it. Only the escapes
// regedit writes are known; anything else makes the line unreadable.
std::optional<std::string> ParseQuoted(std::string_view& text) {
  if (text.empty() || text.front() != '"')
    return std::nullopt;
  std::string result;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return result;
    }
    if (c == '\\') {
      if (++i == text.size() || (text[i] != '\\' && text[i] != '"'))
        return std::nullopt;
      result.push_back(text[i]);
    } else {
      result.push_back(c);
    }
  }
  return std::nullopt;
}

struct Line {
  std::size_t begin;      // first byte
  std::size_t next;       // first byte of the next line
  std::string_view body;  // without its line end
};

std::vector<Line> SplitLines(const std::string& text) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < text.size()) {
    const std::size_t newline = text.find('\n', begin);
    const std::size_t end = newline == std::string::npos ? text.size() : newline;
    std::string_view body(text.data() + begin, end - begin);
    if (!body.empty() && body.back() == '\r')
      body.remove_suffix(1);
    const std::size_t next = newline == std::string::npos ? text.size() : newline + 1;
    lines.push_back({begin, next, body});
    begin = next;
  }
  return lines;
}

enum class Section { kUnknown, kOtherRoot, kOurs };

// "[HKEY_CURRENT_USER\Software\...]". A "[-...]" line removes keys on import and says nothing
// about what is stored, so it is not readable.
std::optional<Section> ParseKeyLine(std::string_view body, std::string* key_id) {
  if (body.size() < 3 || body.back() != ']' || body[1] == '-')
    return std::nullopt;
  const std::string_view path = body.substr(1, body.size() - 2);
  const std::size_t slash = path.find('\\');
  const std::string root = AsciiFolded(path.substr(0, slash));
  if (root == "hkey_current_user") {
    *key_id = KeyId(slash == std::string_view::npos ? "" : path.substr(slash + 1));
    return Section::kOurs;
  }
  for (const char* other : {"hkey_classes_root", "hkey_local_machine", "hkey_users",
                            "hkey_current_config", "hkey_dyn_data"}) {
    if (root == other)
      return Section::kOtherRoot;
  }
  return std::nullopt;
}

// The value that starts at lines[first]; `*next` is the line after it. nullopt when it cannot
// be read, and then `*next` is where reading goes on.
std::optional<StoredValue> ParseValue(const std::vector<Line>& lines, std::size_t first,
                                      std::size_t* next) {
  *next = first + 1;
  std::string_view rest = Trim(lines[first].body);
  StoredValue value{};
  bool hex_list = false;
  if (rest.front() == '@') {
    rest.remove_prefix(1);
  } else {
    const auto name = ParseQuoted(rest);
    if (!name)
      return std::nullopt;
    value.name = AsciiFolded(*name);
  }
  rest = TrimLeft(rest);
  if (rest.empty() || rest.front() != '=')
    return std::nullopt;
  rest = TrimLeft(rest.substr(1));

  if (!rest.empty() && rest.front() == '"') {
    auto text = ParseQuoted(rest);
    if (!text || !rest.empty())
      return std::nullopt;
    value.type = kRegSz;
    value.data = std::move(*text) + '\0';
  } else if (StartsWithIgnoringAsciiCase(rest, "dword:")) {
    const auto number = ParseHexNumber(rest.substr(6));
    if (!number)
      return std::nullopt;
    value.type = kRegDword;
    for (int shift = 0; shift < 32; shift += 8)
      value.data.push_back(static_cast<char>(*number >> shift));
  } else if (StartsWithIgnoringAsciiCase(rest, "hex:")) {
    hex_list = true;
    value.type = kRegBinary;
    rest.remove_prefix(4);
  } else if (StartsWithIgnoringAsciiCase(rest, "hex(")) {
    const std::size_t close = rest.find("):");
    const auto type =
        ParseHexNumber(rest.substr(4, close == std::string_view::npos ? 0 : close - 4));
    if (!type)
      return std::nullopt;
    hex_list = true;
    value.type = *type;
    rest.remove_prefix(close + 2);
  } else {
    return std::nullopt;
  }

  if (hex_list) {
    std::string list(rest);
    std::size_t last = first;
    while (!list.empty() && list.back() == '\\') {
      list.pop_back();
      // A line that is no piece of a hex list is read as a line of its own.
      const std::string_view more =
          last + 1 < lines.size() ? Trim(lines[last + 1].body) : std::string_view();
      if (more.empty() ||
          more.find_first_not_of("0123456789abcdefABCDEF, \t\\") != std::string_view::npos) {
        *next = last + 1;
        return std::nullopt;
      }
      list += more;
      ++last;
    }
    *next = last + 1;
    auto bytes = ParseHexList(list);
    if (!bytes)
      return std::nullopt;
    value.data = std::move(*bytes);
  }
  value.begin = lines[first].begin;
  value.end = lines[*next - 1].next;
  return value;
}

RegFile Parse(std::string text) {
  RegFile file;
  file.text = std::move(text);
  // What a NUL byte stands for cannot be known (a UTF-16 file, a broken disk...).
  file.damaged = file.text.find('\0') != std::string::npos;
  const std::vector<Line> lines = SplitLines(file.text);

  std::size_t index = 0;
  std::string_view header = lines.empty() ? std::string_view() : lines[0].body;
  if (header.starts_with("\xEF\xBB\xBF"))
    header.remove_prefix(3);
  // The newer header, when the file was saved as UTF-8 text, reads the same way.
  if (Trim(header) == "REGEDIT4" || Trim(header) == "Windows Registry Editor Version 5.00") {
    index = 1;
  } else {
    file.damaged = true;
  }

  Section section = Section::kUnknown;
  std::string key_id;
  while (index < lines.size()) {
    const std::string_view body = Trim(lines[index].body);
    const bool readable = body.find('\0') == std::string_view::npos;
    if (body.empty() || (readable && body.front() == ';')) {
      ++index;
    } else if (body.front() == '[') {
      const auto parsed = readable ? ParseKeyLine(body, &key_id) : std::nullopt;
      // Values below a key line that cannot be read belong to no key we know.
      section = parsed.value_or(Section::kUnknown);
      if (!parsed)
        file.damaged = true;
      if (section == Section::kOurs)
        file.key_ids.push_back(key_id);
      ++index;
    } else if (readable && (body.front() == '"' || body.front() == '@')) {
      std::size_t next = index + 1;
      auto value = ParseValue(lines, index, &next);
      if (!value || section == Section::kUnknown)
        file.damaged = true;
      if (value && section == Section::kOurs) {
        value->key_id = key_id;
        file.values.push_back(std::move(*value));
      }
      index = next;
    } else {
      file.damaged = true;
      ++index;
    }
  }
  return file;
}

// A missing file is an empty registry; one that is no regular file, too large or unreadable
// is damaged.
RegFile ParseStore(const std::optional<StoreText>& store) {
  if (!store)
    return RegFile{};
  RegFile file = Parse(store->text);
  file.damaged = file.damaged || store->damaged;
  return file;
}

}  // namespace

struct Regedit4Registry::Snapshot {
  std::optional<StoreStamp> stamp;
  RegFile file;
};

namespace {

const StoredValue* FindStored(const RegFile& file, const std::string& key_id,
                              const std::string& name) {
  const auto found =
      std::find_if(file.values.rbegin(), file.values.rend(),
                   [&](const StoredValue& v) { return v.key_id == key_id && v.name == name; });
  return found == file.values.rend() ? nullptr : &*found;
}

// RegQueryValueExA's answer for stored data.
long CopyOut(std::uint32_t stored_type, const std::string& stored, std::uint32_t* type,
             unsigned char* data, std::uint32_t* size) {
  const auto needed = static_cast<std::uint32_t>(stored.size());
  if (type != nullptr)
    *type = stored_type;
  if (data == nullptr) {
    if (size != nullptr)
      *size = needed;
    return kErrorSuccess;
  }
  const std::uint32_t room = *size;
  *size = needed;
  if (needed > room)
    return kErrorMoreData;
  std::memcpy(data, stored.data(), needed);
  // Windows ends an unterminated string when the buffer has room for it.
  const bool is_string =
      stored_type == kRegSz || stored_type == kRegExpandSz || stored_type == kRegMultiSz;
  if (is_string && needed > 0 && needed < room && data[needed - 1] != 0)
    data[needed] = 0;
  return kErrorSuccess;
}

}  // namespace

Regedit4Registry::Regedit4Registry(std::string file_path, std::vector<RegistryDefault> defaults,
                                   bool preview)
    : file_path_(std::move(file_path)), defaults_(std::move(defaults)), preview_(preview) {
  for (RegistryDefault& entry : defaults_) {
    entry.key_path = KeyId(entry.key_path);
    entry.value_name = AsciiFolded(entry.value_name);
  }
}

Regedit4Registry::~Regedit4Registry() = default;

// Queries come by the hundred in one run; the file is read again only when it has changed.
const RegFile& Regedit4Registry::Current() {
  const std::optional<StoreStamp> stamp = StampOf(file_path_);
  if (!snapshot_ || !stamp || snapshot_->stamp != stamp) {
    auto fresh = std::make_unique<Snapshot>();
    fresh->stamp = stamp;
    fresh->file = ParseStore(ReadStore(file_path_));
    snapshot_ = std::move(fresh);
  }
  return snapshot_->file;
}

const std::string* Regedit4Registry::FindKey(RegKey key) const {
  const auto found = open_keys_.find(key);
  return found == open_keys_.end() ? nullptr : &found->second;
}

const RegistryDefault* Regedit4Registry::FindDefault(const std::string& key_id,
                                                     const std::string& name) const {
  for (const RegistryDefault& entry : defaults_) {
    if (entry.key_path == key_id && entry.value_name == name)
      return &entry;
  }
  return nullptr;
}

long Regedit4Registry::OpenKey(RootKey root, const std::string& path, std::uint32_t, RegKey* key) {
  if (key == nullptr)
    return kErrorInvalidParameter;
  *key = 0;
  try {
    if (root != kHkeyCurrentUser)
      return kErrorFileNotFound;
    std::string key_id = KeyId(path);
    const RegFile& file = Current();
    // Keys exist with their subkeys, as in the registry.
    const auto contains = [&](const std::string& id) { return IsWithin(id, key_id); };
    const bool exists =
        key_id.empty() || std::any_of(file.key_ids.begin(), file.key_ids.end(), contains) ||
        std::any_of(defaults_.begin(), defaults_.end(),
                    [&](const RegistryDefault& entry) { return contains(entry.key_path); });
    if (!exists)
      return kErrorFileNotFound;
    open_keys_.emplace(next_key_, std::move(key_id));
    *key = next_key_++;
    return kErrorSuccess;
  } catch (...) {
    return kErrorNotEnoughMemory;
  }
}

long Regedit4Registry::QueryValue(RegKey key, const std::string& name, std::uint32_t* type,
                                  unsigned char* data, std::uint32_t* size) {
  try {
    const std::string* open_key = FindKey(key);
    if (open_key == nullptr)
      return kErrorInvalidHandle;
    const std::string key_id = *open_key;
    if (data != nullptr && size == nullptr)
      return kErrorInvalidParameter;
    const std::string folded = AsciiFolded(name);
    const RegFile& file = Current();
    if (const StoredValue* stored = FindStored(file, key_id, folded)) {
      return CopyOut(stored->type, stored->data, type, data, size);
    }
    if (const RegistryDefault* entry = FindDefault(key_id, folded)) {
      return CopyOut(kRegSz, entry->text + '\0', type, data, size);
    }
    return kErrorFileNotFound;
  } catch (...) {
    return kErrorNotEnoughMemory;
  }
}

long Regedit4Registry::DeleteValue(RegKey key, const std::string& name) {
  try {
    const std::string* open_key = FindKey(key);
    if (open_key == nullptr)
      return kErrorInvalidHandle;
    const std::string key_id = *open_key;
    const std::string folded = AsciiFolded(name);
    LockedStore store(file_path_);
    const RegFile file = ParseStore(store.contents());
    if (file.damaged)
      return kErrorAccessDenied;

    // Every definition goes, or an earlier one would take the deleted one's place.
    std::string kept;
    std::size_t copied = 0;
    bool found = false;
    for (const StoredValue& value : file.values) {
      if (value.key_id != key_id || value.name != folded)
        continue;
      kept.append(file.text, copied, value.begin - copied);
      copied = value.end;
      found = true;
    }
    if (!found)
      return FindDefault(key_id, folded) ? kErrorAccessDenied : kErrorFileNotFound;
    if (preview_)
      return kErrorSuccess;
    kept.append(file.text, copied);
    return store.Replace(kept) ? kErrorSuccess : kErrorAccessDenied;
  } catch (...) {
    return kErrorNotEnoughMemory;
  }
}

long Regedit4Registry::CloseKey(RegKey key) {
  return open_keys_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
}

}  // namespace larkspur
