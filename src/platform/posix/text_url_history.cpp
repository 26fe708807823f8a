#include "platform/posix/text_url_history.h"

#include <utility>

#include "platform/posix/store_file.h"

namespace larkspur {

TextUrlHistory::TextUrlHistory(std::string file_path, bool preview)
    : file_path_(std::move(file_path)), preview_(preview) {}

bool TextUrlHistory::ClearHistory(StayReason* why_not) {
  const auto fail = [why_not](StayReason why) {
    if (why_not != nullptr)
      *why_not = why;
    return false;
  };
  try {
    if (preview_) {
      const std::optional<StoreText> text = ReadStore(file_path_);
      return !text || !text->damaged || fail(StayReason::kNotFound);
    }
    // A folder or device there is no history file. A link is emptied at its target, so the
    // link stays the user's history file.
    LockedStore store(file_path_);
    if (!store.contents())
      return true;
    if (store.contents()->damaged)
      return fail(StayReason::kNotFound);  // never rewritten: what it holds could not be read
    return store.contents()->text.empty() || store.Replace(std::string()) ||
           fail(StayReason::kAccessRefused);
  } catch (...) {
    return fail(StayReason::kAccessRefused);
  }
}

}  // namespace larkspur
