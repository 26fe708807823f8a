#include "firefox/firefox.h"

#include "platform/path_text.h"

namespace larkspur {

namespace {

std::string Joined(const std::string& folder, const std::string& name) {
  return folder + kPathSeparator + name;
}

}  // namespace

Firefox::Firefox(const FirefoxPorts& ports) : ports_(ports) {
  GetFireFoxPath();
  if (ProfileDir_.empty())
    return;
  CacheDir_ = Joined(ProfileDir_, "cache");
  HistoryDatFile_ = Joined(ProfileDir_, "history.dat");
  BookmarksHtmlFile_ = Joined(ProfileDir_, "bookmarks.html");
  BookmarksBakFile_ = Joined(ProfileDir_, "bookmarks.bak");
  CookiesTxtFile_ = Joined(ProfileDir_, "cookies.txt");
}

std::string Firefox::InProfile(const std::string& name) const {
  return Joined(ProfileDir_, name);
}

void Firefox::DeleteFiles(const std::string& path_pattern) {
  if (ProfileDir_.empty())
    return;
  ports_.files.DeleteMatching(path_pattern);
}

void Firefox::DeleteDatabase(const std::string& name) {
  if (ProfileDir_.empty())
    return;
  const std::string database = InProfile(name);
  ports_.files.DeleteMatching(database);
  // While the database is still there (in use), its journals belong to it.
  if (ports_.files.Exists(database))
    return;
  for (const char* suffix : {"-wal", "-shm", "-journal"})
    ports_.files.DeleteMatching(database + suffix);
}

void Firefox::Delete_TypedUrls() {
  DeleteDatabase("places.sqlite");
}

void Firefox::Delete_History() {
  DeleteFiles(HistoryDatFile_);
  DeleteDatabase("formhistory.sqlite");
}

void Firefox::Delete_Downloads() {
  DeleteDatabase("downloads.sqlite");
}

// Only the top level of the cache folder, and "*.cache" files directly in the profile.
void Firefox::Delete_Cache() {
  DeleteFiles(Joined(CacheDir_, "*.*"));
  DeleteFiles(InProfile("*.cache"));
}

void Firefox::Delete_Bookmarks() {
  DeleteFiles(BookmarksHtmlFile_);
  DeleteFiles(BookmarksBakFile_);
}

void Firefox::Delete_Cookies() {
  DeleteFiles(CookiesTxtFile_);
  DeleteDatabase("cookies.sqlite");
}

}  // namespace larkspur
