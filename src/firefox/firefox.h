#pragma once
// One Firefox profile folder and the whole files that hold its traces.
#include <string>
#include <vector>

#include "firefox/firefox_ports.h"

namespace larkspur {

class Firefox {
 public:
  // `local_folder`: where Firefox keeps the profile's disk cache; empty for none.
  Firefox(const FirefoxPorts& ports, ProfileFolder& profile, std::string local_folder = "")
      : ports_(ports), profile_(profile), local_folder_(std::move(local_folder)) {}

  // Each counts what went and what stayed in the record, and adds to its notes what the user
  // can do about what stayed.
  void Delete_TypedUrls();
  void Delete_History();
  void Delete_Downloads();
  void Delete_Cache();
  void Delete_Cookies();
  // Never called by a clean-up run: bookmarks are the user's to keep.
  void Delete_Bookmarks();

 private:
  // Whether Firefox has the profile open; `what` (ranked by `rank` in the note) then stays.
  bool Running(int rank, const char* what);
  // Deletes the matching files and counts each by its full path.
  void DeleteFiles(const std::string& subfolder, const std::string& pattern);
  // Deletes a SQLite database and, once it is gone, its journal files: a stale write-ahead log
  // would bring deleted rows back into the database that Firefox creates next.
  void DeleteDatabase(const std::string& name);
  // Writes the bookmarks of places.sqlite as the backup Firefox restores next; false when
  // they could not all be saved.
  bool SaveBookmarks(std::string* error);
  // Moves backups dated today to earlier dates, so ours is the only one Firefox can pick.
  bool MakeRoomForToday(std::chrono::year_month_day today);

  const FirefoxPorts& ports_;
  ProfileFolder& profile_;
  std::string local_folder_;
};

}  // namespace larkspur
