#pragma once
#include <string>

#include "platform/settings.h"

namespace larkspur {

// The settings as INI files: <config folder>/<application>/settings.ini, one [section] each,
// "key=value" lines. Lines it does not understand are kept as they are.
class IniSettings final : public SettingsPort {
 public:
  // `config_folder` is XDG_CONFIG_HOME; empty keeps nothing and answers the defaults.
  explicit IniSettings(std::string config_folder) : config_folder_(std::move(config_folder)) {}

  std::string GetSetting(const std::string& application, const std::string& section,
                         const std::string& key, const std::string& default_value) override;
  bool SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value) override;

 private:
  std::string FileOf(const std::string& application) const;

  std::string config_folder_;
};

}  // namespace larkspur
