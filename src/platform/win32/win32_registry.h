#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/registry.h"
#include "platform/removal.h"

namespace larkspur {

// advapi32's registry, with names and string data converted between UTF-8 and the ANSI code
// page that the "A" functions use.
class Win32Registry final : public RegistryPort {
 public:
  // With `preview`, DeleteValue keeps every value (see PreviewLedger).
  explicit Win32Registry(std::shared_ptr<PreviewLedger> preview = nullptr)
      : preview_(std::move(preview)) {}

  long OpenKey(RootKey root, const std::string& path, std::uint32_t access, RegKey* key) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t* type, unsigned char* data,
                  std::uint32_t* size) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long CloseKey(RegKey key) override;

 private:
  std::shared_ptr<PreviewLedger> preview_;
  // In a preview, what each open key was opened as, for the ledger's names of its values.
  std::map<RegKey, std::string> key_names_;
};

}  // namespace larkspur
