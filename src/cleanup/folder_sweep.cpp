#include "cleanup/folder_sweep.h"

#include <memory>
#include <optional>
#include <vector>

#include "platform/path_text.h"

namespace larkspur {

namespace {

// One folder being swept: its snapshot, and how far its subfolders have got.
struct SweepFrame {
  FolderListing listing;
  std::size_t next_subfolder = 0;
};

// Deletes the files of the folder the cursor is at and returns its snapshot.
SweepFrame SweepFiles(FolderCursor& cursor, RunRecord& record) {
  SweepFrame frame;
  cursor.MakeArchiveOnly("");
  // What is in a folder that cannot be listed stays, unseen: the folder is counted for it.
  if (!cursor.List(&frame.listing))
    record.Stayed(cursor.Path(), StayReason::kAccessRefused);
  for (const std::string& file : frame.listing.files) {
    cursor.MakeArchiveOnly(file);
    record.Count(cursor.Path() + file, cursor.DeleteFile(file));
  }
  return frame;
}

}  // namespace

void SweepFolder(FolderTree& folders, RunRecord& record, const std::string& folder) {
  if (!IsAbsolutePath(folder))
    return;
  const std::unique_ptr<FolderCursor> cursor = folders.Open(folder);
  if (!cursor)
    return;

  // An explicit stack instead of recursion: the depth of the tree is not ours to choose.
  std::vector<SweepFrame> frames;
  frames.push_back(SweepFiles(*cursor, record));
  while (!frames.empty()) {
    SweepFrame& current = frames.back();
    const std::vector<std::string>& subfolders = current.listing.subfolders;
    if (current.next_subfolder < subfolders.size()) {
      const std::string& subfolder = subfolders[current.next_subfolder++];
      std::optional<StayReason> why_not;
      if (cursor->Enter(subfolder, &why_not))
        frames.push_back(SweepFiles(*cursor, record));
      else if (why_not)
        record.Stayed(cursor->Path() + subfolder, *why_not);
      continue;
    }
    // Every subfolder has been swept: remove those that are empty now.
    for (const std::string& subfolder : subfolders)
      cursor->RemoveFolder(subfolder);
    frames.pop_back();
    if (!frames.empty() && !cursor->Leave())
      return;  // lost the way back: stop here
  }
}

}  // namespace larkspur
