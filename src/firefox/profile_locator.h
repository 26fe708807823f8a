#pragma once
// Finds Firefox's folder and opens every profile that its profiles.ini lists.
#include <memory>
#include <string>
#include <vector>

#include "firefox/firefox_ports.h"

namespace larkspur {

class ProfileLocator {
 public:
  explicit ProfileLocator(const FirefoxPorts& ports) : ports_(ports) {}

  // The folder that holds profiles.ini; empty when there is no application-data folder.
  std::string GetFireFoxPath() const;

  // Every [ProfileN] section's profile that opens as a profile folder, each folder once
  // however often it is listed.
  std::vector<std::unique_ptr<ProfileFolder>> OpenProfiles() const;

 private:
  const FirefoxPorts& ports_;
};

}  // namespace larkspur
