#pragma once
// Deleting one entry of an open folder, as a Removal, for a run or for a preview.
#include <string>

#include "platform/removal.h"

namespace larkspur {

// Deletes `name` of the folder `folder_fd` (a link itself, never its target): removed with its
// size, absent when there is none, or stayed and why. With `preview`, nothing is deleted: the
// answer is the one a deletion would give, `folder_writable` saying whether the folder lets
// its entries go, and a file answered once is absent from then on.
Removal RemoveEntryAt(int folder_fd, const std::string& name, PreviewLedger* preview,
                      bool folder_writable);

// Whether a preview has already answered `name` of `folder_fd` as removed.
bool ClaimedAt(int folder_fd, const std::string& name, const PreviewLedger& preview);

// Whether this process may remove entries of the folder as it is now.
bool FolderLetsEntriesGo(int folder_fd);

}  // namespace larkspur
