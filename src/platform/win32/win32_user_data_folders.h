#pragma once
#include "platform/user_data_folders.h"

namespace larkspur {

// Reads "Local State" and the folder's listing without following reparse points, and finds a
// running browser by its message window ("Chrome_MessageWindow"); the browser's lockfile is
// never opened, which could disturb a browser starting meanwhile.
class Win32UserDataFolders final : public UserDataFolders {
 public:
  std::string LocalState(const std::string& folder) override;
  std::vector<std::string> Subfolders(const std::string& folder) override;
  bool Running(const std::string& folder, bool sandboxed) override;
};

}  // namespace larkspur
