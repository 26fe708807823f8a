#include "firefox/firefox.h"

#include <algorithm>

#include "cleanup/folder_sweep.h"
#include "firefox/backup_names.h"
#include "firefox/bookmark_backup.h"
#include "platform/path_text.h"

namespace larkspur {

namespace {

constexpr char kBackupFolder[] = "bookmarkbackups";
constexpr char kPlaces[] = "places.sqlite";
// Going back further than this finds no free name only in a folder filled on purpose.
constexpr int kDaysToGoBack = 3660;

// What a running Firefox keeps, in the order the note names them.
enum KeptRank { kHistoryRank, kCookiesRank, kFormHistoryRank, kDownloadsRank };

}  // namespace

bool Firefox::Running(int rank, const char* what) {
  if (!profile_.InUse())
    return false;
  ports_.record.Stayed(profile_.Path() + " (" + what + ")", StayReason::kBrowserRunning);
  ports_.record.Notes().BrowserRunning("Firefox", rank, what);
  return true;
}

void Firefox::DeleteFiles(const std::string& subfolder, const std::string& pattern) {
  const std::string folder =
      profile_.Path() + kPathSeparator + (subfolder.empty() ? "" : subfolder + kPathSeparator);
  for (const NamedRemoval& file : profile_.DeleteMatching(subfolder, pattern))
    ports_.record.Count(folder + file.name, file.removal);
}

void Firefox::DeleteDatabase(const std::string& name) {
  DeleteFiles("", name);
  // While the database is still there (in use), its journals belong to it.
  if (profile_.Exists(name))
    return;
  for (const char* suffix : {"-wal", "-shm", "-journal"})
    DeleteFiles("", name + suffix);
}

bool Firefox::MakeRoomForToday(std::chrono::year_month_day today) {
  std::vector<std::string> names = profile_.List(kBackupFolder);
  for (const std::string& name : BackupsOf(names, today)) {
    bool moved = false;
    for (int days = 1; days <= kDaysToGoBack && !moved; ++days) {
      const std::string earlier = BackupNameDatedBack(name, days);
      if (std::find(names.begin(), names.end(), earlier) != names.end())
        continue;
      moved = profile_.Rename(kBackupFolder, name, earlier);
      if (moved)
        names.push_back(earlier);
    }
    if (!moved)
      return false;
  }
  return true;
}

bool Firefox::SaveBookmarks(std::string* error) {
  std::vector<BookmarkRow> rows;
  if (!ports_.bookmarks.Read(profile_, kPlaces, &rows, error))
    return false;
  const std::optional<std::string> backup = BookmarkBackupJson(rows, error);
  if (!backup)
    return false;
  const std::chrono::year_month_day today = ports_.today();
  if (!MakeRoomForToday(today)) {
    *error = "an earlier backup of today cannot be moved aside";
    return false;
  }
  if (!profile_.WriteNew(kBackupFolder, BackupName(today), *backup)) {
    *error = "the backup cannot be written";
    return false;
  }
  return true;
}

void Firefox::Delete_TypedUrls() {
  if (Running(kHistoryRank, "history"))
    return;
  if (profile_.Exists(kPlaces)) {
    std::string error;
    if (!SaveBookmarks(&error)) {
      ports_.record.Stayed(profile_.Path() + kPathSeparator + kPlaces, StayReason::kAccessRefused);
      ports_.record.Notes().Other(
          "Firefox bookmarks could not be saved, so history stays (profile " + profile_.Name() +
          "): " + error + ".");
      return;
    }
  }
  DeleteDatabase(kPlaces);
}

void Firefox::Delete_History() {
  if (Running(kFormHistoryRank, "form history"))
    return;
  DeleteFiles("", "history.dat");
  DeleteDatabase("formhistory.sqlite");
}

void Firefox::Delete_Downloads() {
  if (Running(kDownloadsRank, "downloads"))
    return;
  DeleteDatabase("downloads.sqlite");
}

// The old in-profile cache (its top level, and "*.cache" files), and the whole disk cache
// that today's Firefox keeps in the local cache folder. Files a running Firefox holds stay.
void Firefox::Delete_Cache() {
  DeleteFiles("cache", "*.*");
  DeleteFiles("", "*.cache");
  if (!local_folder_.empty())
    SweepFolder(ports_.folders, ports_.record, local_folder_ + kPathSeparator + "cache2");
}

void Firefox::Delete_Cookies() {
  if (Running(kCookiesRank, "cookies"))
    return;
  DeleteFiles("", "cookies.txt");
  DeleteDatabase("cookies.sqlite");
}

void Firefox::Delete_Bookmarks() {
  DeleteFiles("", "bookmarks.html");
  DeleteFiles("", "bookmarks.bak");
}

}  // namespace larkspur
