#include "chromium/profile_names.h"

#include <algorithm>
#include <nlohmann/json.hpp>

namespace larkspur {

namespace {

bool IsUsersProfile(const std::string& name) {
  return !name.empty() && name.size() < 256 && name != "." && name != ".." &&
         name.find_first_of("/\\:") == std::string::npos && name != "Guest Profile" &&
         name != "System Profile";
}

bool IsNumberedProfile(const std::string& name) {
  constexpr std::string_view kPrefix = "Profile ";
  return name.size() > kPrefix.size() && name.starts_with(kPrefix) &&
         name.find_first_not_of("0123456789", kPrefix.size()) == std::string::npos;
}

}  // namespace

std::vector<std::string> ProfileNames(const std::string& local_state,
                                      const std::vector<std::string>& subfolders) {
  std::vector<std::string> names;
  const auto add = [&](const std::string& name) {
    if (IsUsersProfile(name) && std::find(names.begin(), names.end(), name) == names.end())
      names.push_back(name);
  };
  // A damaged file lists nothing; the folders' own names still count.
  const nlohmann::json state = nlohmann::json::parse(local_state, nullptr, false);
  if (state.is_object()) {
    const auto profile = state.find("profile");
    if (profile != state.end() && profile->is_object()) {
      const auto cache = profile->find("info_cache");
      if (cache != profile->end() && cache->is_object())
        for (const auto& [name, entry] : cache->items())
          add(name);
    }
  }
  std::vector<std::string> folders = subfolders;
  std::sort(folders.begin(), folders.end());
  for (const std::string& folder : folders)
    if (folder == "Default" || IsNumberedProfile(folder))
      add(folder);
  return names;
}

}  // namespace larkspur
