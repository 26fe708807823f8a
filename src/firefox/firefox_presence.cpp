#include "firefox/firefox_presence.h"

#include <string>
#include <vector>

#include "firefox/profile_locator.h"
#include "iecleanup/registry1.h"
#include "platform/firefox_layout.h"
#include "platform/path_text.h"

namespace larkspur {

std::string FirefoxMissing(const FirefoxPorts& ports) {
  if (!ProfileLocator(ports).OpenProfiles().empty())
    return "";
  // The folders the locator looks in: the legacy one where it exists, else the one below AppData;
  // then a Snap's and a Flatpak's.
  std::vector<std::string> folders;
  const std::string& legacy = ports.legacy_firefox_folder;
  if (!legacy.empty())
    folders.push_back(legacy);
  const std::string app_data = GetShellFolder(ports.registry, "AppData");
  if (IsAbsolutePath(app_data) && (legacy.empty() || !ports.files.IsFolder(legacy)))
    folders.push_back(app_data + kFirefoxBelowAppData);
  for (const FirefoxPlace& place : ports.packaged_places)
    folders.push_back(place.folder);
  if (folders.empty())
    return "No Firefox profile found: there is no application-data folder.";
  std::string places = folders.front();
  for (std::size_t at = 1; at < folders.size(); ++at)
    places += (at + 1 == folders.size() ? " or " : ", ") + folders[at];
  return "No Firefox profile found in " + places + ".";
}

}  // namespace larkspur
