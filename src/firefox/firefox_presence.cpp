#include "firefox/firefox_presence.h"

#include "firefox/profile_locator.h"

namespace larkspur {

std::string FirefoxMissing(const FirefoxPorts& ports) {
  const ProfileLocator locator(ports);
  const LocatedProfiles profiles = locator.OpenProfiles();
  return profiles.open.empty() && profiles.refused.empty() ? locator.NotFoundSentence() : "";
}

}  // namespace larkspur
