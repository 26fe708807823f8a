#include "chromium/chromium_locator.h"

#include <set>

#include "chromium/profile_names.h"
#include "iecleanup/registry1.h"
#include "platform/path_text.h"

namespace larkspur {

std::vector<ChromiumInstall> ChromiumLocator::OpenProfiles(bool edge) const {
  std::vector<ChromiumInstall> installs;
  std::set<std::string> opened;
  for (ChromiumPlace& place :
       ChromiumPlaces(GetShellFolder(ports_.registry, "AppData"),
                      GetShellFolder(ports_.registry, "Local AppData"), ports_.home)) {
    if (place.edge != edge)
      continue;
    const std::vector<std::string> subfolders = ports_.user_data.Subfolders(place.user_data);
    if (subfolders.empty() && !place.root_profile)
      continue;  // no such browser here
    std::vector<std::string> names =
        ProfileNames(ports_.user_data.LocalState(place.user_data), subfolders);
    if (place.root_profile)
      names.insert(names.begin(), "");
    ChromiumInstall install{std::move(place), {}};
    for (const std::string& name : names) {
      std::unique_ptr<ProfileFolder> folder =
          ports_.profiles.OpenChromium(install.place.user_data, name);
      if (!folder || !opened.insert(folder->Identity()).second)
        continue;
      std::string disk_cache = install.place.disk_cache;
      if (!disk_cache.empty() && !name.empty())
        disk_cache += kPathSeparator + name;
      install.profiles.push_back({std::move(folder), std::move(disk_cache)});
    }
    if (!install.profiles.empty())
      installs.push_back(std::move(install));
  }
  return installs;
}

}  // namespace larkspur
