#pragma once
// The platform's real stores, bundled for the program's start.
#include <memory>
#include <string>

#include "platform/bookmark_store.h"
#include "platform/file_patterns.h"
#include "platform/firefox_layout.h"
#include "platform/folder_tree.h"
#include "platform/memory.h"
#include "platform/profile_folder.h"
#include "platform/profile_strings.h"
#include "platform/registry.h"
#include "platform/removal.h"
#include "platform/settings.h"
#include "platform/url_cache.h"
#include "platform/url_history.h"
#include "platform/user_data_folders.h"
#include "platform/user_folders.h"

namespace larkspur {

struct NativeStores {
  std::unique_ptr<RegistryPort> registry;
  std::unique_ptr<UrlCachePort> url_cache;
  std::unique_ptr<UrlHistoryPort> url_history;
  std::unique_ptr<MemoryPort> memory;
  std::unique_ptr<FolderTree> folders;
  std::unique_ptr<FilePatternPort> files;
  std::unique_ptr<ProfileFolders> profiles;    // Firefox's and the Chromium browsers' profiles
  std::unique_ptr<UserDataFolders> user_data;  // the Chromium browsers' user-data folders
  std::unique_ptr<BookmarkStore> bookmarks;    // read from Firefox's places database
  std::unique_ptr<ProfileStringPort> profile_strings;
  std::unique_ptr<SettingsPort> settings;  // the window's own two settings
  // Where Firefox keeps its folder when it is not below the application-data folder
  // (~/.mozilla/firefox on Linux); empty where there is no such place.
  std::string legacy_firefox_folder;
  // Where a Snap or Flatpak Firefox keeps its profiles and caches; none on Windows.
  std::vector<FirefoxPlace> packaged_firefox_places;
  // Internet Explorer is part of Windows. Elsewhere it is there only where its stand-in stores
  // are: this folder holds none of them.
  std::string internet_explorer_missing_from;
  std::string home;  // the user's home folder, where Snap and Flatpak browsers live
};

// With `preview`, every store answers its deletions as a run would and changes nothing; the
// ledger is shared by them all.
NativeStores MakeNativeStores(const UserFolders& folders,
                              std::shared_ptr<PreviewLedger> preview = nullptr);

}  // namespace larkspur
