// The Linux stores: the real file system and Firefox profiles, and small files in
// ${XDG_DATA_HOME}/larkspur standing in for the registry, the URL cache and the URL history.
#include "platform/native_stores.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "platform/firefox_layout.h"
#include "platform/posix/folder_identity.h"
#include "platform/posix/ini_profile_strings.h"
#include "platform/posix/ini_settings.h"
#include "platform/posix/posix_file_patterns.h"
#include "platform/posix/posix_folder_tree.h"
#include "platform/posix/posix_memory.h"
#include "platform/posix/posix_profile_folder.h"
#include "platform/posix/posix_user_data_folders.h"
#include "platform/posix/regedit4_registry.h"
#include "platform/posix/text_url_history.h"
#include "platform/posix/tsv_url_cache.h"
#include "platform/sqlite/sqlite_bookmark_store.h"

namespace larkspur {

namespace {

// Inside an empty data folder, a store path that names nothing, so nothing is read or deleted.
std::string StoreFile(const UserFolders& folders, const char* name) {
  return folders.data.empty() ? std::string() : folders.data + "/larkspur/" + name;
}

// The "Cache" shell folder, where the URL cache's local files live; empty when not set.
std::string CacheShellFolder(RegistryPort& registry) {
  RegKey key = 0;
  if (registry.OpenKey(kHkeyCurrentUser, kShellFoldersKey, kKeyAllAccess, &key) != kErrorSuccess)
    return "";
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::string text;
  if (registry.QueryValue(key, "Cache", &type, nullptr, &size) == kErrorSuccess && size > 0) {
    text.resize(size);
    if (registry.QueryValue(key, "Cache", &type, reinterpret_cast<unsigned char*>(text.data()),
                            &size) != kErrorSuccess ||
        type != kRegSz)
      text.clear();
  }
  registry.CloseKey(key);
  return text.substr(0, text.find('\0'));
}

// The folder of the stand-ins when it holds none of them; empty when one is there.
std::string WithoutStandIns(const UserFolders& folders) {
  std::error_code error;
  for (const char* name : {"registry.reg", "urlcache.tsv", "urlhistory.txt"})
    if (const std::string path = StoreFile(folders, name);
        !path.empty() && std::filesystem::exists(std::filesystem::symlink_status(path, error)))
      return "";
  return folders.data.empty() ? "$XDG_DATA_HOME/larkspur" : folders.data + "/larkspur";
}

}  // namespace

NativeStores MakeNativeStores(const UserFolders& folders, std::shared_ptr<PreviewLedger> preview) {
  NativeStores stores;
  const bool previewing = preview != nullptr;
  std::vector<RegistryDefault> defaults;
  // Firefox keeps its folder below the config folder, which stands for the application-data
  // folder unless the registry file names another.
  if (!folders.config.empty())
    defaults.push_back({kShellFoldersKey, "AppData", folders.config});
  // Firefox's disk cache lives below the cache folder, as below "Local AppData" on Windows.
  if (!folders.cache.empty())
    defaults.push_back({kShellFoldersKey, "Local AppData", folders.cache});
  const std::string registry_file = StoreFile(folders, "registry.reg");
  stores.registry = std::make_unique<Regedit4Registry>(registry_file, defaults, previewing);
  // The cache reads the folder through a registry of its own: it outlives the others here.
  auto cache_registry = std::make_shared<Regedit4Registry>(registry_file, defaults);
  stores.url_cache = std::make_unique<TsvUrlCache>(
      StoreFile(folders, "urlcache.tsv"), std::make_unique<PosixFolderTree>(folders.home, preview),
      [cache_registry] { return std::vector<std::string>{CacheShellFolder(*cache_registry)}; },
      previewing);
  stores.url_history =
      std::make_unique<TextUrlHistory>(StoreFile(folders, "urlhistory.txt"), previewing);
  stores.memory = std::make_unique<PosixMemory>();
  stores.folders = std::make_unique<PosixFolderTree>(folders.home, preview);
  stores.files = std::make_unique<PosixFilePatterns>();
  stores.profiles = std::make_unique<PosixProfileFolders>(
      std::vector<std::string>{folders.home, AccountHomeFolder()}, preview);
  stores.user_data = std::make_unique<PosixUserDataFolders>();
  stores.bookmarks = std::make_unique<SqliteBookmarkStore>();
  stores.profile_strings = std::make_unique<IniProfileStrings>();
  stores.settings = std::make_unique<IniSettings>(folders.config);
  stores.home = folders.home;
  if (!folders.home.empty())
    stores.legacy_firefox_folder = folders.home + "/.mozilla/firefox";
  stores.packaged_firefox_places = PackagedFirefoxPlaces(folders.home);
  stores.internet_explorer_missing_from = WithoutStandIns(folders);
  return stores;
}

}  // namespace larkspur
