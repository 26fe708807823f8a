#pragma once
#include <string>
#include <vector>

namespace larkspur {

// The profiles a Chromium user-data folder may hold, each name once: the keys of
// profile.info_cache in its "Local State" (`local_state`, the file's text), and the folders
// among `subfolders` named "Default" or "Profile N". Guest and system profiles are not users'
// and are left out, and so is a name that is not a plain folder name.
std::vector<std::string> ProfileNames(const std::string& local_state,
                                      const std::vector<std::string>& subfolders);

}  // namespace larkspur
