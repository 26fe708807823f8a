#pragma once
#include <string>

namespace larkspur {

// The user's profile folder as the system records it (FOLDERID_Profile), whatever USERPROFILE
// says; empty when the system does not say.
std::string ProfileFolderFromSystem();

}  // namespace larkspur
