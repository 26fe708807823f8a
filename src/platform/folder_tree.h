#pragma once
// A walk through one folder tree that never leaves it: the cursor moves into real subfolders
// only (never through a link, junction or other reparse point, never onto another file system
// or mount) and back out to exactly the folder it came from.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/removal.h"

namespace larkspur {

struct FolderListing {
  // Plain files and links; hidden and system files (dot files on Linux) are left out and stay.
  std::vector<std::string> files;
  // Real folders only, hidden and system ones too: Windows keeps the browser's caches, history
  // and cookies in hidden system folders (Content.IE5, INetCache\IE, History.IE5, MSHist…).
  std::vector<std::string> subfolders;
};

class FolderCursor {
 public:
  virtual ~FolderCursor() = default;

  // Snapshot of the current folder; false (and an empty listing) when it cannot be listed.
  virtual bool List(FolderListing* listing) = 0;

  // Moves into a subfolder of the current folder; false leaves the cursor where it was. A mount
  // point is no subfolder here. When the folder is there but was not entered, `why_not` (if
  // given) says why: access refused, or refused for safety (a link, another mount).
  virtual bool Enter(const std::string& name, std::optional<StayReason>* why_not = nullptr) = 0;

  // Moves back to the folder that the last Enter left. False when that folder cannot be reached
  // as it was (moved or replaced meanwhile): the cursor is then at no folder and does nothing.
  virtual bool Leave() = 0;

  // The current folder's path as text, ending with the platform's separator.
  virtual const std::string& Path() const = 0;

  // Clears read-only, hidden and system; an empty name means the current folder itself.
  virtual bool MakeArchiveOnly(const std::string& name) = 0;
  // Deletes a file (a link itself, never its target) of the current folder: removed with its
  // size, absent when there was none of that name, or stayed and why. A tree made for a
  // preview answers the same without deleting.
  virtual Removal DeleteFile(const std::string& name) = 0;
  // Removes a subfolder only if it is empty, and never a mount point.
  virtual bool RemoveFolder(const std::string& name) = 0;
};

class FolderTree {
 public:
  virtual ~FolderTree() = default;
  // A cursor on `path`; nullptr when the path is empty or relative, names no folder, is a link,
  // is a filesystem root or mount point, is or holds the user's home folder (from HOME and from
  // the account database; on Windows the profile folder), or cannot be opened. Every check is
  // made on the folder opened, not on the path.
  virtual std::unique_ptr<FolderCursor> Open(const std::string& path) = 0;
};

}  // namespace larkspur
