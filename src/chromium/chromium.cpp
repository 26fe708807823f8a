#include "chromium/chromium.h"

#include "cleanup/folder_sweep.h"
#include "platform/path_text.h"

namespace larkspur {

namespace {

constexpr const char* kHistoryFiles[] = {"History",
                                         "Visited Links",
                                         "Top Sites",
                                         "Shortcuts",
                                         "Network Action Predictor",
                                         "History Provider Cache"};
// The caches a profile keeps (on Linux the first two in its disk-cache folder instead). Only
// these are swept, in the disk-cache folder too: a folder taken for a cache by mistake keeps
// everything else.
constexpr const char* kCacheFolders[] = {"Cache",      "Code Cache",        "GPUCache",
                                         "DawnCache",  "DawnGraphiteCache", "DawnWebGPUCache",
                                         "Media Cache"};
// Today's tabs live in Sessions (Sessions_Encrypted where the browser encrypts them); older
// browsers kept them in the profile itself.
constexpr const char* kTabFolders[] = {"Sessions", "Sessions_Encrypted"};
constexpr const char* kOldTabFiles[] = {"Current Session", "Current Tabs", "Last Session",
                                        "Last Tabs"};

}  // namespace

bool Chromium::DeleteFiles(const std::string& subfolder, const std::string& pattern) {
  const std::string folder =
      profile_.Path() + kPathSeparator + (subfolder.empty() ? "" : subfolder + kPathSeparator);
  bool gone = true;
  for (const NamedRemoval& file : profile_.DeleteMatching(subfolder, pattern)) {
    ports_.record.Count(folder + file.name, file.removal);
    gone = gone && file.removal.Gone();
  }
  return gone;
}

void Chromium::DeleteDatabase(const std::string& subfolder, const std::string& name) {
  if (!DeleteFiles(subfolder, name))
    return;
  for (const char* suffix : {"-journal", "-wal", "-shm"})
    DeleteFiles(subfolder, name + suffix);
}

void Chromium::Delete_History() {
  for (const char* name : kHistoryFiles)
    DeleteDatabase("", name);
}

void Chromium::Delete_Cache() {
  for (const char* name : kCacheFolders) {
    SweepFolder(ports_.folders, ports_.record, profile_.Path() + kPathSeparator + name);
    if (!disk_cache_.empty())
      SweepFolder(ports_.folders, ports_.record, disk_cache_ + kPathSeparator + name);
  }
}

void Chromium::Delete_Cookies() {
  DeleteDatabase("Network", "Cookies");
  DeleteDatabase("", "Cookies");
}

void Chromium::Delete_Tabs() {
  for (const char* folder : kTabFolders)
    DeleteFiles(folder, "*.*");
  for (const char* name : kOldTabFiles)
    DeleteFiles("", name);
}

}  // namespace larkspur
