#pragma once
#include <string>

#include "platform/profile_folder.h"

namespace larkspur {

// Profile folders held open, with every folder on the way from the Firefox folder, without
// delete sharing: none of them can be renamed or replaced while the profile is worked on, so
// the path text keeps naming what was opened and checked. Reparse points are never entered.
class Win32ProfileFolders final : public ProfileFolders {
 public:
  // `home` is the user's profile folder: neither it nor a folder above it is a Firefox profile.
  explicit Win32ProfileFolders(std::string home) : home_(std::move(home)) {}

  std::unique_ptr<ProfileFolder> Open(const std::string& firefox_folder, const std::string& entry,
                                      bool relative) override;

 private:
  std::string home_;
};

}  // namespace larkspur
