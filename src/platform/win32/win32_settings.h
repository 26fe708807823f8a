#pragma once
#include "platform/settings.h"

namespace larkspur {

// The settings in the registry: HKEY_CURRENT_USER\Software\<application>\<section>, one string
// value a key.
class Win32Settings final : public SettingsPort {
 public:
  std::string GetSetting(const std::string& application, const std::string& section,
                         const std::string& key, const std::string& default_value) override;
  bool SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value) override;
};

}  // namespace larkspur
