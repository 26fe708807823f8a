#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/folder_tree.h"

namespace larkspur {

// Walks folders through directory descriptors (openat, unlinkat), so a path's length or depth
// never matters and a link met on the way is never followed. A walk stays on the mount of its
// start folder: a mount point inside, bind mounts included, is neither entered nor removed.
class PosixFolderTree final : public FolderTree {
 public:
  // `home` is the user's home folder: neither it, nor the home folder of the account database,
  // nor a folder that holds either is ever opened. Checked on the opened folder itself. With
  // `preview`, its cursors change nothing (see PreviewLedger).
  explicit PosixFolderTree(std::string home, std::shared_ptr<PreviewLedger> preview = nullptr);

  std::unique_ptr<FolderCursor> Open(const std::string& path) override;

 private:
  std::vector<std::string> homes_;
  std::shared_ptr<PreviewLedger> preview_;
};

}  // namespace larkspur
