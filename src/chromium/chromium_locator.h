#pragma once
// Finds the Chromium browsers' user-data folders and opens their profiles.
#include <memory>
#include <string>
#include <vector>

#include "chromium/chromium_ports.h"
#include "platform/chromium_layout.h"

namespace larkspur {

struct ChromiumProfile {
  std::unique_ptr<ProfileFolder> folder;
  std::string disk_cache;  // where its disk cache lies outside the profile; empty for nowhere
};

// One browser's user-data folder and the profiles opened in it.
struct ChromiumInstall {
  ChromiumPlace place;
  std::vector<ChromiumProfile> profiles;
};

class ChromiumLocator {
 public:
  explicit ChromiumLocator(const ChromiumPorts& ports) : ports_(ports) {}

  // Every user-data folder of the Edge browsers (`edge`) or of the others that holds a
  // profile, each profile opened once however it was reached.
  std::vector<ChromiumInstall> OpenProfiles(bool edge) const;

 private:
  const ChromiumPorts& ports_;
};

}  // namespace larkspur
