#pragma once
#include <string>

#include "iecleanup/status_line.h"
#include "platform/folder_tree.h"

namespace larkspur {

// Empties a folder tree: deletes every listed file, depth first, removes the subfolders that
// end up empty, and keeps the folder itself. Each file that is gone is shown on the status line
// as "-->" and its full path. Hidden and system files stay, and so do their folders. A folder
// that cannot be opened (empty or relative path, a root, the home folder, a link) is left alone.
void SweepFolder(FolderTree& folders, StatusLine& status, const std::string& folder);

}  // namespace larkspur
