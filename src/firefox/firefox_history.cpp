#include "firefox/firefox_history.h"

#include "firefox/profile_locator.h"

namespace larkspur {

namespace {

// "A", "A or B", "A, B or C".
std::string EitherOf(const std::vector<std::string>& places) {
  std::string text;
  for (std::size_t index = 0; index < places.size(); ++index) {
    if (index > 0)
      text += index + 1 == places.size() ? " or " : ", ";
    text += places[index];
  }
  return text;
}

}  // namespace

void FirefoxHistory::EachProfile(void (Firefox::*item)()) {
  const ProfileLocator locator(ports_);
  const LocatedProfiles profiles = locator.OpenProfiles();
  for (const LocatedProfile& profile : profiles.open) {
    Firefox firefox(ports_, *profile.folder, profile.local_folder);
    (firefox.*item)();
  }
  for (const RefusedProfile& refused : profiles.refused) {
    ports_.record.Stayed(refused.path, StayReason::kRefused);
    ports_.record.Notes().Other("Firefox profile " + refused.path + " skipped: " + refused.why +
                                ".");
  }
  if (profiles.open.empty() && profiles.refused.empty()) {
    const std::vector<std::string> places = locator.PlacesLookedIn();
    ports_.record.Notes().NotFound(places.empty()
                                       ? "No Firefox profile found: no application-data folder."
                                       : "No Firefox profile found in " + EitherOf(places) + ".");
  }
}

}  // namespace larkspur
