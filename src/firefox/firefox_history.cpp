#include "firefox/firefox_history.h"

#include "firefox/profile_locator.h"

namespace larkspur {

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
    ports_.record.Notes().NotFound(locator.NotFoundSentence());
  }
}

}  // namespace larkspur
