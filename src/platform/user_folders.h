#pragma once
#include <string>

namespace larkspur {

// The per-user folders the stores live in, read from the environment. A folder that cannot be
// determined is empty, and nothing is kept or deleted there.
struct UserFolders {
  std::string home;    // HOME, else the account's (Windows: USERPROFILE, else FOLDERID_Profile)
  std::string config;  // XDG_CONFIG_HOME, else HOME/.config
  std::string data;    // XDG_DATA_HOME, else HOME/.local/share
  std::string cache;   // XDG_CACHE_HOME, else HOME/.cache
  std::string state;   // XDG_STATE_HOME, else HOME/.local/state (Windows: LOCALAPPDATA)
};

UserFolders UserFoldersFromEnvironment();

}  // namespace larkspur
