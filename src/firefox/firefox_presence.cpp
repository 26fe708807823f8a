#include "firefox/firefox_presence.h"

#include "firefox/profile_locator.h"
#include "iecleanup/registry1.h"
#include "platform/firefox_layout.h"
#include "platform/path_text.h"

namespace larkspur {

std::string FirefoxMissing(const FirefoxPorts& ports) {
  if (!ProfileLocator(ports).OpenProfiles().empty())
    return "";
  // The folders the locator looks in: the legacy one where it exists, else the one below AppData.
  const std::string& legacy = ports.legacy_firefox_folder;
  std::string places = legacy;
  const std::string app_data = GetShellFolder(ports.registry, "AppData");
  if (IsAbsolutePath(app_data) && (legacy.empty() || !ports.files.IsFolder(legacy)))
    places += (places.empty() ? "" : " or ") + app_data + kFirefoxBelowAppData;
  if (places.empty())
    return "No Firefox profile found: there is no application-data folder.";
  return "No Firefox profile found in " + places + ".";
}

}  // namespace larkspur
