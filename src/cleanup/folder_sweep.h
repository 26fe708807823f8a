#pragma once
#include <string>

#include "cleanup/run_record.h"
#include "platform/folder_tree.h"

namespace larkspur {

// Empties a folder tree: deletes every listed file, depth first, removes the subfolders that
// end up empty, and keeps the folder itself. Each file is counted in `record` by its full path
// as the tree answered its deletion. Hidden and system files stay, and so do their folders. A
// subfolder that cannot be listed or entered (refused, a link, another mount) stays and is
// counted as one thing that stayed. A folder that cannot be opened (empty or relative path, a
// root, the home folder, a link) is left alone.
void SweepFolder(FolderTree& folders, RunRecord& record, const std::string& folder);

}  // namespace larkspur
