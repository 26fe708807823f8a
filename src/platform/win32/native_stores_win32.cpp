// The Windows stores: the real registry, URL cache, URL history object and file system.
#include "platform/native_stores.h"
#include "platform/sqlite/sqlite_bookmark_store.h"
#include "platform/win32/com_url_history.h"
#include "platform/win32/win32_file_patterns.h"
#include "platform/win32/win32_folder_tree.h"
#include "platform/win32/win32_memory.h"
#include "platform/win32/win32_profile_folder.h"
#include "platform/win32/win32_profile_strings.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_settings.h"
#include "platform/win32/win32_user_data_folders.h"
#include "platform/win32/wininet_url_cache.h"

namespace larkspur {

NativeStores MakeNativeStores(const UserFolders& folders, std::shared_ptr<PreviewLedger> preview) {
  NativeStores stores;
  stores.registry = std::make_unique<Win32Registry>(preview);
  stores.url_cache = std::make_unique<WininetUrlCache>(preview);
  stores.url_history = std::make_unique<ComUrlHistory>(preview != nullptr);
  stores.memory = std::make_unique<Win32Memory>();
  stores.folders = std::make_unique<Win32FolderTree>(folders.home, preview);
  stores.files = std::make_unique<Win32FilePatterns>();
  stores.profiles = std::make_unique<Win32ProfileFolders>(folders.home, preview);
  stores.user_data = std::make_unique<Win32UserDataFolders>();
  stores.home = folders.home;
  stores.bookmarks = std::make_unique<SqliteBookmarkStore>();
  stores.profile_strings = std::make_unique<Win32ProfileStrings>();
  stores.settings = std::make_unique<Win32Settings>();
  return stores;  // Firefox's folder is always below AppData here
}

}  // namespace larkspur
