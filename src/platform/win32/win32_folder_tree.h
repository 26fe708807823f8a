#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_tree.h"
#include "platform/removal.h"

namespace larkspur {

// Walks folders through handles. Every folder on the way is held open without delete sharing,
// so it cannot be renamed or replaced while the walk is below it, and each entry is opened
// relative to its folder's handle and checked to be where that folder says it is: under Wine a
// unix link opens as its target even when asked not to, and that check is what catches it.
// A subfolder on another volume (a unix mount under Wine) is not entered. Links to folders,
// junctions and mount points are listed as files: deleting one removes the link itself on
// Windows; under Wine a unix link stays, since deleting it there would harm its target.
class Win32FolderTree final : public FolderTree {
 public:
  // `home` is the user's profile folder: neither it, nor the profile folder the system records,
  // nor a folder that holds either is ever opened. With `preview`, cursors delete nothing and
  // answer as a run would (see PreviewLedger).
  explicit Win32FolderTree(std::string home, std::shared_ptr<PreviewLedger> preview = nullptr);

  std::unique_ptr<FolderCursor> Open(const std::string& path) override;

 private:
  std::vector<std::string> homes_;
  std::shared_ptr<PreviewLedger> preview_;
};

// Path helpers that both Windows file adapters use.
namespace win32 {

// The absolute, normalised form of `path` ("C:\a\b", "\\server\share\a"), without a trailing
// backslash; empty unless `path` names a drive or a share ("C:x", "\x" and device paths do not).
std::wstring FullPath(const std::string& path);

// `full` (as FullPath gives it) in the "\\?\" form that lifts the MAX_PATH limit.
std::wstring LongPath(const std::wstring& full);

}  // namespace win32

}  // namespace larkspur
