#pragma once
#include <string>

#include "platform/folder_tree.h"

namespace larkspur {

// Walks folders through directory descriptors (openat, unlinkat), so a path's length or depth
// never matters and a link met on the way is never followed.
class PosixFolderTree final : public FolderTree {
 public:
  // `home` is the user's home folder: neither it nor a folder that holds it is ever opened.
  explicit PosixFolderTree(std::string home) : home_(std::move(home)) {}

  std::unique_ptr<FolderCursor> Open(const std::string& path) override;

 private:
  std::string home_;
};

}  // namespace larkspur
