#pragma once
#include <string>

namespace larkspur {

// Per-user text values addressed by application, section and key (the registry under
// HKEY_CURRENT_USER\Software\<application>\<section> on Windows, an INI file elsewhere).
class SettingsPort {
 public:
  virtual ~SettingsPort() = default;
  // The stored text, or `default_value` when there is none.
  virtual std::string GetSetting(const std::string& application, const std::string& section,
                                 const std::string& key, const std::string& default_value) = 0;
  // False when the value could not be kept (a settings file the user made read-only, a key
  // the user may not write); what is stored then stays as it was.
  virtual bool SaveSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
};

}  // namespace larkspur
