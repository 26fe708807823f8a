#include "firefox/firefox_history.h"

#include <algorithm>

#include "firefox/profile_locator.h"

namespace larkspur {

void FirefoxHistory::EachProfile(std::string (Firefox::*item)()) {
  for (const LocatedProfile& profile : ProfileLocator(ports_).OpenProfiles()) {
    Firefox firefox(ports_, *profile.folder, profile.local_folder);
    const std::string stayed = (firefox.*item)();
    if (stayed.empty())
      continue;
    ports_.status.SetCaption(stayed);
    if (std::find(stayed_.begin(), stayed_.end(), stayed) == stayed_.end())
      stayed_.push_back(stayed);
  }
}

std::string FirefoxHistory::TakeStayed() {
  std::string text;
  for (const std::string& stayed : stayed_)
    text += (text.empty() ? "" : " ") + stayed;
  stayed_.clear();
  return text;
}

}  // namespace larkspur
