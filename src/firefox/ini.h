#pragma once
#include <string>

#include "platform/profile_strings.h"

namespace larkspur {

// The longest value GetFromINI returns; a value of this length may have been cut.
inline constexpr std::size_t kIniValueLimit = 254;

// Reads single values from INI files such as Firefox's profiles.ini.
class INI {
 public:
  explicit INI(ProfileStringPort& profile_strings) : profile_strings_(profile_strings) {}

  // The value of `Key` in `Section` of the file, at most 254 characters; the empty string when
  // the file, the section or the key is missing.
  std::string GetFromINI(const std::string& File_Path, const std::string& Section,
                         const std::string& Key) const;

 private:
  ProfileStringPort& profile_strings_;
};

}  // namespace larkspur
