#pragma once
// Finds Firefox's folders and opens every profile that their profiles.ini files list.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "firefox/firefox_ports.h"

namespace larkspur {

struct LocatedProfile {
  std::unique_ptr<ProfileFolder> folder;
  // Where Firefox keeps the profile's local data (its disk cache): the entry below the local
  // Firefox folder, or, for a profile listed with an absolute path, the profile itself.
  // Empty when there is no local application-data folder.
  std::string local_folder;
};

// A profile that profiles.ini lists and that is there, but is not cleaned.
struct RefusedProfile {
  std::string path;  // as profiles.ini gives it, joined to the Firefox folder when relative
  std::string why;   // "it is a link", …
};

struct LocatedProfiles {
  std::vector<LocatedProfile> open;
  std::vector<RefusedProfile> refused;
};

class ProfileLocator {
 public:
  explicit ProfileLocator(const FirefoxPorts& ports) : ports_(ports) {}

  // The folder that holds profiles.ini; empty when there is no application-data folder.
  std::string GetFireFoxPath() const;

  // Every folder of a profiles.ini to read, each with its profiles' cache folder: Firefox's
  // folder first, then a Snap's and a Flatpak's. None without an application-data folder.
  std::vector<FirefoxPlace> Places() const;

  // Every folder looked in for profiles.ini, for telling the user where no profile was found:
  // ~/.mozilla/firefox where Firefox's folder is another, then every place's.
  std::vector<std::string> PlacesLookedIn() const;
  // "No Firefox profile found in …", for when OpenProfiles found none.
  std::string NotFoundSentence() const;

  // Every [ProfileN] section's profile, in every place, that opens as a profile folder, each
  // folder once however often and wherever it is listed; and those that are there but were
  // refused, with the reason.
  LocatedProfiles OpenProfiles() const;

 private:
  void OpenProfilesOf(const FirefoxPlace& place, std::set<std::string>* opened,
                      LocatedProfiles* profiles) const;

  const FirefoxPorts& ports_;
};

}  // namespace larkspur
