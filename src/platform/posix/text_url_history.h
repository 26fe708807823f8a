#pragma once
// The URL history on Linux: a text file of visited URLs, emptied to clear the history.
#include <string>

#include "platform/url_history.h"

namespace larkspur {

class TextUrlHistory final : public UrlHistoryPort {
 public:
  // With `preview`, the file is never written.
  explicit TextUrlHistory(std::string file_path, bool preview = false);

  // A missing file is a history already empty: true, and no file is made.
  bool ClearHistory(StayReason* why_not = nullptr) override;

 private:
  std::string file_path_;
  bool preview_;
};

}  // namespace larkspur
