#include <algorithm>
#include <sstream>

#include "firefox/firefox.h"
#include "firefox/ini.h"
#include "iecleanup/registry1.h"
#include "platform/path_text.h"

namespace larkspur {

namespace {

#ifdef _WIN32
constexpr char kFirefoxBelowAppData[] = "\\Mozilla\\Firefox";
#else
constexpr char kFirefoxBelowAppData[] = "/mozilla/firefox";
#endif

// A ".." step would lead the profile, and every deletion in it, out of the Firefox folder.
bool LeadsOutward(const std::string& entry) {
  std::string step;
  std::istringstream steps(entry);
  while (std::getline(steps, step, '/')) {
    std::istringstream parts(step);
    std::string part;
    while (std::getline(parts, part, '\\'))
      if (part == "..")
        return true;
  }
  return false;
}

}  // namespace

std::string Firefox::GetFireFoxPath() {
  ProfileDir_.clear();
  const std::string app_data = GetShellFolder(ports_.registry, "AppData");
  if (!IsAbsolutePath(app_data))
    return ProfileDir_;

  const std::string& legacy = ports_.legacy_firefox_folder;
  const std::string firefox_folder =
      !legacy.empty() && ports_.files.IsFolder(legacy) ? legacy : app_data + kFirefoxBelowAppData;

  const std::string entry =
      INI(ports_.profile_strings)
          .GetFromINI(firefox_folder + kPathSeparator + "profiles.ini", "Profile0", "Path");
  if (LeadsOutward(entry))
    return ProfileDir_;

  ProfileDir_ = firefox_folder + kPathSeparator + entry;
  std::replace(ProfileDir_.begin(), ProfileDir_.end(), '/', kPathSeparator);
  return ProfileDir_;
}

}  // namespace larkspur
