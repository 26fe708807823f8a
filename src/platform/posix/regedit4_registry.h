#pragma once
// HKEY_CURRENT_USER on Linux: a REGEDIT4 text file, read again whenever it has changed so that
// edits by hand are seen at once. Deletions remove only the value's own lines and leave every other
// byte of the file as it was; a file that cannot be read whole is never rewritten.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace larkspur {

// A string value that exists even where the file does not name it (the application-data folder
// under Shell Folders). Its key always exists; a value of the same name in the file wins.
struct RegistryDefault {
  std::string key_path;
  std::string value_name;
  std::string text;
};

struct RegFile;  // what one version of the file holds

class Regedit4Registry final : public RegistryPort {
 public:
  // With `preview`, the file is never written.
  explicit Regedit4Registry(std::string file_path, std::vector<RegistryDefault> defaults = {},
                            bool preview = false);
  ~Regedit4Registry() override;

  long OpenKey(RootKey root, const std::string& path, std::uint32_t access, RegKey* key) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override;
  // kErrorAccessDenied when the file is damaged (the value might sit on a line that could not be
  // read), when the value exists only as a default, or when the file cannot be replaced.
  long DeleteValue(RegKey key, const std::string& name) override;
  long CloseKey(RegKey key) override;

 private:
  struct Snapshot;
  const RegFile& Current();
  const std::string* FindKey(RegKey key) const;
  const RegistryDefault* FindDefault(const std::string& key_id, const std::string& name) const;

  std::string file_path_;
  std::vector<RegistryDefault> defaults_;  // key paths and names folded like the file's
  bool preview_;
  std::map<RegKey, std::string> open_keys_;  // handle -> folded key path
  RegKey next_key_ = 1;
  std::unique_ptr<const Snapshot> snapshot_;
};

}  // namespace larkspur
