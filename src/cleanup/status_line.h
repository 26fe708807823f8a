#pragma once
#include <string>

namespace larkspur {

// The window's one-line status label, as the cleaners see it: they only ever replace its text.
class StatusLine {
 public:
  virtual ~StatusLine() = default;
  virtual void SetCaption(const std::string& text) = 0;
};

// The per-item progress line: "-->" followed by the item.
inline std::string ProgressLine(const std::string& item) {
  return "-->" + item;
}

}  // namespace larkspur
