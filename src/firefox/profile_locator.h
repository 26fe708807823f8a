#pragma once
// Finds Firefox's folder and opens every profile that its profiles.ini lists.
#include <memory>
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

class ProfileLocator {
 public:
  explicit ProfileLocator(const FirefoxPorts& ports) : ports_(ports) {}

  // The folder that holds profiles.ini; empty when there is no application-data folder.
  std::string GetFireFoxPath() const;

  // Every [ProfileN] section's profile that opens as a profile folder, each folder once
  // however often it is listed.
  std::vector<LocatedProfile> OpenProfiles() const;

 private:
  const FirefoxPorts& ports_;
};

}  // namespace larkspur
