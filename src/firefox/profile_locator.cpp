#include "firefox/profile_locator.h"

#include <set>

#include "cleanup/run_notes.h"
#include "firefox/ini.h"
#include "iecleanup/registry1.h"
#include "platform/firefox_layout.h"
#include "platform/path_text.h"

namespace larkspur {

namespace {

// Firefox numbers its sections from Profile0 without gaps, but a hand-edited file may skip
// some; this many missing ones in a row end the search.
constexpr int kLongestGap = 16;

// The entry's steps joined by this system's separator, without "." steps or doubled separators.
std::string Normalised(const std::string& entry) {
  std::string joined;
  std::string step;
  for (const char c : entry + '/') {
    if (c != '/' && c != '\\') {
      step += c;
      continue;
    }
    if (!step.empty() && step != ".")
      joined += (joined.empty() ? "" : std::string(1, kPathSeparator)) + step;
    step.clear();
  }
  return joined;
}

}  // namespace

std::string ProfileLocator::GetFireFoxPath() const {
  const std::string app_data = GetShellFolder(ports_.registry, "AppData");
  if (!IsAbsolutePath(app_data))
    return "";
  const std::string& legacy = ports_.legacy_firefox_folder;
  return !legacy.empty() && ports_.files.IsFolder(legacy) ? legacy
                                                          : app_data + kFirefoxBelowAppData;
}

std::vector<FirefoxPlace> ProfileLocator::Places() const {
  const std::string firefox_folder = GetFireFoxPath();
  if (firefox_folder.empty())
    return {};
  const std::string local_app_data = GetShellFolder(ports_.registry, "Local AppData");
  std::vector<FirefoxPlace> places{{firefox_folder, IsAbsolutePath(local_app_data)
                                                        ? local_app_data + kFirefoxBelowAppData
                                                        : ""}};
  for (const FirefoxPlace& place : ports_.packaged_places)
    if (place.folder != firefox_folder)
      places.push_back(place);
  return places;
}

std::vector<std::string> ProfileLocator::PlacesLookedIn() const {
  std::vector<std::string> looked_in;
  const std::vector<FirefoxPlace> places = Places();
  // ~/.mozilla/firefox was looked for even when it is missing.
  const std::string& legacy = ports_.legacy_firefox_folder;
  if (!places.empty() && !legacy.empty() && legacy != places.front().folder)
    looked_in.push_back(legacy);
  for (const FirefoxPlace& place : places)
    looked_in.push_back(place.folder);
  return looked_in;
}

std::string ProfileLocator::NotFoundSentence() const {
  const std::vector<std::string> places = PlacesLookedIn();
  return places.empty() ? "No Firefox profile found: no application-data folder."
                        : "No Firefox profile found in " + EitherOf(places) + ".";
}

LocatedProfiles ProfileLocator::OpenProfiles() const {
  LocatedProfiles profiles;
  std::set<std::string> opened;
  for (const FirefoxPlace& place : Places())
    OpenProfilesOf(place, &opened, &profiles);
  return profiles;
}

void ProfileLocator::OpenProfilesOf(const FirefoxPlace& place, std::set<std::string>* opened,
                                    LocatedProfiles* profiles) const {
  const std::string& firefox_folder = place.folder;
  const INI ini(ports_.profile_strings);
  const std::string ini_file = firefox_folder + kPathSeparator + "profiles.ini";
  std::set<std::string> refused_paths;
  for (int number = 0, missing = 0; missing < kLongestGap; ++number) {
    const std::string section = "Profile" + std::to_string(number);
    const std::string path = ini.GetFromINI(ini_file, section, "Path");
    if (path.empty()) {
      ++missing;
      continue;
    }
    missing = 0;
    // A value that filled the reader's buffer may have been cut: never clean a shorter namesake.
    if (path.size() >= kIniValueLimit) {
      profiles->refused.push_back({path + "...", "its path is too long to be read whole"});
      continue;
    }
    const bool relative = ini.GetFromINI(ini_file, section, "IsRelative") != "0";
    std::string refusal;
    std::unique_ptr<ProfileFolder> profile =
        ports_.profiles.Open(firefox_folder, path, relative, &refusal);
    if (!profile && !refusal.empty() && refused_paths.insert(path).second)
      profiles->refused.push_back(
          {relative ? firefox_folder + kPathSeparator + Normalised(path) : path, refusal});
    if (!profile || !opened->insert(profile->Identity()).second)
      continue;
    std::string local_folder = profile->Path();
    if (relative)
      local_folder = IsAbsolutePath(place.cache_folder)
                         ? place.cache_folder + kPathSeparator + Normalised(path)
                         : "";
    profiles->open.push_back({std::move(profile), std::move(local_folder)});
  }
}

}  // namespace larkspur
