#pragma once
#include <memory>
#include <string>

#include "platform/profile_folder.h"
#include "platform/removal.h"

namespace larkspur {

// Profile folders held open, with every folder on the way from the Firefox folder, without
// delete sharing: none of them can be renamed or replaced while the profile is worked on, so
// the path text keeps naming what was opened and checked. Reparse points are never entered.
class Win32ProfileFolders final : public ProfileFolders {
 public:
  // `home` is the user's profile folder: neither it nor a folder above it is a profile.
  // With `preview`, the folders opened change nothing (see PreviewLedger).
  explicit Win32ProfileFolders(std::string home, std::shared_ptr<PreviewLedger> preview = nullptr)
      : home_(std::move(home)), preview_(std::move(preview)) {}

  std::unique_ptr<ProfileFolder> OpenMarked(const std::string& base, const std::string& entry,
                                            bool relative, std::span<const char* const> markers,
                                            std::string* refusal = nullptr) override;

 private:
  std::string home_;
  std::shared_ptr<PreviewLedger> preview_;
};

}  // namespace larkspur
