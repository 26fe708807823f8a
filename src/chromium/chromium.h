#pragma once
// One Chromium profile folder and the whole files that hold its traces. Nothing here asks
// whether the browser runs: the caller does, for the whole user-data folder.
#include <string>

#include "chromium/chromium_ports.h"

namespace larkspur {

class Chromium {
 public:
  // `disk_cache`: where the profile's disk cache lies outside it; empty for nowhere.
  Chromium(const ChromiumPorts& ports, ProfileFolder& profile, std::string disk_cache = "")
      : ports_(ports), profile_(profile), disk_cache_(std::move(disk_cache)) {}

  // The visits, typed addresses, search terms and downloads, and what is derived from them.
  void Delete_History();
  // The contents of the cache folders; the folders stay.
  void Delete_Cache();
  void Delete_Cookies();
  // The open and recently closed tabs, with their back and forward addresses.
  void Delete_Tabs();

 private:
  // Deletes the files of `subfolder` (empty: the profile itself) matching `pattern`; true when
  // none of them stayed.
  bool DeleteFiles(const std::string& subfolder, const std::string& pattern);
  // The database first; its journals only once it is gone, since a journal whose database
  // stays is part of it.
  void DeleteDatabase(const std::string& subfolder, const std::string& name);

  const ChromiumPorts& ports_;
  ProfileFolder& profile_;
  std::string disk_cache_;
};

}  // namespace larkspur
