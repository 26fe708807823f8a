#pragma once
// One Firefox profile, found through profiles.ini, and the whole files that hold its traces.
#include <string>

#include "platform/file_patterns.h"
#include "platform/profile_strings.h"
#include "platform/registry.h"

namespace larkspur {

struct FirefoxPorts {
  RegistryPort& registry;
  ProfileStringPort& profile_strings;
  FilePatternPort& files;
  // Where Firefox keeps its folder instead of below the application-data folder when it
  // exists (~/.mozilla/firefox on Linux); empty where there is none.
  std::string legacy_firefox_folder;
};

class Firefox {
 public:
  // Locates the profile at once; nothing is remembered between objects.
  explicit Firefox(const FirefoxPorts& ports);

  // The folder of the profile that "Profile0" of profiles.ini names, also kept as ProfileDir.
  // Empty, and nothing is deleted, when there is no application-data folder or the profile
  // entry would lead out of the Firefox folder.
  std::string GetFireFoxPath();

  void Delete_TypedUrls();
  void Delete_History();
  void Delete_Downloads();
  void Delete_Cache();
  void Delete_Bookmarks();
  void Delete_Cookies();

  const std::string& ProfileDir() const { return ProfileDir_; }
  const std::string& CacheDir() const { return CacheDir_; }
  const std::string& HistoryDatFile() const { return HistoryDatFile_; }
  const std::string& BookmarksHtmlFile() const { return BookmarksHtmlFile_; }
  const std::string& BookmarksBakFile() const { return BookmarksBakFile_; }
  const std::string& CookiesTxtFile() const { return CookiesTxtFile_; }

 private:
  // Deletes by name or pattern inside the profile; does nothing without a profile.
  void DeleteFiles(const std::string& path_pattern);
  // Deletes a SQLite database and, once it is gone, its journal files: a stale write-ahead log
  // would bring deleted rows back into the database that Firefox creates next.
  void DeleteDatabase(const std::string& name);
  std::string InProfile(const std::string& name) const;

  FirefoxPorts ports_;
  std::string ProfileDir_;
  std::string CacheDir_;
  std::string HistoryDatFile_;
  std::string BookmarksHtmlFile_;
  std::string BookmarksBakFile_;
  std::string CookiesTxtFile_;
};

}  // namespace larkspur
