#pragma once
#include "platform/user_data_folders.h"

namespace larkspur {

// Reads through a descriptor of the user-data folder; nothing is ever written there.
class PosixUserDataFolders final : public UserDataFolders {
 public:
  std::string LocalState(const std::string& folder) override;
  std::vector<std::string> Subfolders(const std::string& folder) override;
  bool Running(const std::string& folder, bool sandboxed) override;
};

}  // namespace larkspur
