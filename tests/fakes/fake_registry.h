#pragma once
// An in-memory HKEY_CURRENT_USER with the answers of RegOpenKeyExA and friends, which counts
// calls so tests of the core can check that every key opened was closed.
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ascii_case.h"
#include "platform/registry.h"

namespace larkspur::testing {

class FakeRegistry final : public RegistryPort {
 public:
  // A REG_SZ value stored with its terminator, as RegSetValueExA stores a counted C string.
  void PutString(const std::string& key_path, const std::string& name, const std::string& text) {
    PutValue(key_path, name, kRegSz, text + '\0');
  }
  // Exactly these bytes with this type; nothing is added.
  void PutValue(const std::string& key_path, const std::string& name, std::uint32_t type,
                std::string bytes) {
    PutKey(key_path);
    values_[{KeyId(key_path), AsciiFolded(name)}] = {type, std::move(bytes)};
  }
  void PutKey(const std::string& key_path) { keys_.insert(KeyId(key_path)); }

  bool HasValue(const std::string& key_path, const std::string& name) const {
    return values_.count({KeyId(key_path), AsciiFolded(name)}) == 1;
  }

  int open_key_calls() const { return open_key_calls_; }
  int delete_value_calls() const { return delete_value_calls_; }
  // Keys opened and not closed yet.
  std::size_t open_keys() const { return open_.size(); }

  long OpenKey(RootKey root, const std::string& path, std::uint32_t, RegKey* key) override {
    ++open_key_calls_;
    if (key == nullptr)
      return kErrorInvalidParameter;
    *key = 0;
    const std::string id = KeyId(path);
    if (root != kHkeyCurrentUser || !KeyExists(id))
      return kErrorFileNotFound;
    open_[next_key_] = id;
    *key = next_key_++;
    return kErrorSuccess;
  }

  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override {
    const auto handle = open_.find(key);
    if (handle == open_.end())
      return kErrorInvalidHandle;
    if (data != nullptr && size == nullptr)
      return kErrorInvalidParameter;
    const auto found = values_.find({handle->second, AsciiFolded(name)});
    if (found == values_.end())
      return kErrorFileNotFound;
    const auto& [stored_type, bytes] = found->second;
    const auto needed = static_cast<std::uint32_t>(bytes.size());
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
    std::memcpy(data, bytes.data(), needed);
    const bool is_string = stored_type == kRegSz || stored_type == kRegExpandSz || stored_type == 7;
    if (is_string && needed > 0 && needed < room && data[needed - 1] != 0)
      data[needed] = 0;
    return kErrorSuccess;
  }

  long DeleteValue(RegKey key, const std::string& name) override {
    ++delete_value_calls_;
    const auto handle = open_.find(key);
    if (handle == open_.end())
      return kErrorInvalidHandle;
    return values_.erase({handle->second, AsciiFolded(name)}) == 1 ? kErrorSuccess
                                                                   : kErrorFileNotFound;
  }

  long CloseKey(RegKey key) override {
    return open_.erase(key) == 1 ? kErrorSuccess : kErrorInvalidHandle;
  }

 private:
  static constexpr long kErrorInvalidParameter = 87;

  static std::string KeyId(std::string_view path) {
    if (!path.empty() && path.back() == '\\')
      path.remove_suffix(1);
    return AsciiFolded(path);
  }

  // A key exists with any of its subkeys.
  bool KeyExists(const std::string& id) const {
    if (id.empty())
      return true;
    for (const std::string& stored : keys_) {
      if (stored == id || (stored.starts_with(id) && stored[id.size()] == '\\'))
        return true;
    }
    return false;
  }

  std::set<std::string> keys_;
  std::map<std::pair<std::string, std::string>, std::pair<std::uint32_t, std::string>> values_;
  std::map<RegKey, std::string> open_;
  RegKey next_key_ = 1;
  int open_key_calls_ = 0;
  int delete_value_calls_ = 0;
};

}  // namespace larkspur::testing
