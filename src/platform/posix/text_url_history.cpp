#include "platform/posix/text_url_history.h"

#include <utility>

#include "platform/posix/store_file.h"

namespace larkspur {

TextUrlHistory::TextUrlHistory(std::string file_path, bool preview)
    : file_path_(std::move(file_path)), preview_(preview) {}

bool TextUrlHistory::ClearHistory() {
  if (preview_)
    return true;
  try {
    // A folder or device there is no history file. A link is emptied at its target, so the
    // link stays the user's history file.
    LockedStore store(file_path_);
    if (!store.contents())
      return true;
    if (store.contents()->damaged)
      return false;
    return store.contents()->text.empty() || store.Replace(std::string());
  } catch (...) {
    return false;
  }
}

}  // namespace larkspur
