#pragma once
#include <string>
#include <vector>

#include "platform/profile_folder.h"

namespace larkspur {

// Profile folders reached through directory descriptors (openat with O_NOFOLLOW at every step).
class PosixProfileFolders final : public ProfileFolders {
 public:
  // `homes`: the user's home folders (from HOME and from the account database); neither they
  // nor a folder above them is ever taken as a profile.
  explicit PosixProfileFolders(std::vector<std::string> homes) : homes_(std::move(homes)) {}

  std::unique_ptr<ProfileFolder> Open(const std::string& firefox_folder, const std::string& entry,
                                      bool relative) override;

 private:
  std::vector<std::string> homes_;
};

}  // namespace larkspur
