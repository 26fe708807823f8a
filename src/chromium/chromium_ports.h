#pragma once
// What the Chromium browsers' items need from the system, and where they report.
#include <string>

#include "cleanup/run_record.h"
#include "cleanup/status_line.h"
#include "platform/folder_tree.h"
#include "platform/profile_folder.h"
#include "platform/registry.h"
#include "platform/user_data_folders.h"

namespace larkspur {

struct ChromiumPorts {
  RegistryPort& registry;  // the shell folders the user-data folders lie below
  ProfileFolders& profiles;
  UserDataFolders& user_data;
  FolderTree& folders;  // the cache folders are swept through it
  StatusLine& status;
  RunRecord& record;  // what each deletion did
  std::string home;   // where Snap and Flatpak browsers live (Linux)
};

}  // namespace larkspur
