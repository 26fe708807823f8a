#pragma once
// What the Firefox items need from the system, and where they report.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "cleanup/run_record.h"
#include "cleanup/status_line.h"
#include "platform/bookmark_store.h"
#include "platform/file_patterns.h"
#include "platform/firefox_layout.h"
#include "platform/folder_tree.h"
#include "platform/profile_folder.h"
#include "platform/profile_strings.h"
#include "platform/registry.h"

namespace larkspur {

struct FirefoxPorts {
  RegistryPort& registry;
  ProfileStringPort& profile_strings;
  FilePatternPort& files;
  ProfileFolders& profiles;
  FolderTree& folders;  // the local cache folders are swept through it
  BookmarkStore& bookmarks;
  StatusLine& status;
  RunRecord& record;  // what each deletion did
  // Where Firefox keeps its folder instead of below the application-data folder when it
  // exists (~/.mozilla/firefox on Linux); empty where there is none.
  std::string legacy_firefox_folder;
  // The local date, which names bookmark backups.
  std::function<std::chrono::year_month_day()> today;
  // Where else Firefox may keep its profiles (a Snap's, a Flatpak's), each with its own caches.
  std::vector<FirefoxPlace> packaged_places = {};
};

}  // namespace larkspur
