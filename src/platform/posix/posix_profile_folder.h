#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/profile_folder.h"

namespace larkspur {

// Profile folders reached through directory descriptors (openat with O_NOFOLLOW at every step).
class PosixProfileFolders final : public ProfileFolders {
 public:
  // `homes`: the user's home folders (from HOME and from the account database); neither they
  // nor a folder above them is ever taken as a profile. With `preview`, nothing changes.
  explicit PosixProfileFolders(std::vector<std::string> homes,
                               std::shared_ptr<PreviewLedger> preview = nullptr)
      : homes_(std::move(homes)), preview_(std::move(preview)) {}

  std::unique_ptr<ProfileFolder> OpenMarked(const std::string& base, const std::string& entry,
                                            bool relative, std::span<const char* const> markers,
                                            std::string* refusal = nullptr) override;

 private:
  std::vector<std::string> homes_;
  std::shared_ptr<PreviewLedger> preview_;
};

}  // namespace larkspur
