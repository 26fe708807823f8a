#pragma once
// The window's controls as plain state; a window face mirrors them into real widgets.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "cleanup/status_line.h"

namespace larkspur {

inline constexpr int kUnticked = 0;
inline constexpr int kTicked = 1;

struct CheckBox {
  std::string Caption;
  int Value = kUnticked;

  bool Ticked() const { return Value == kTicked; }
};

// A one-line text label that tells a listener of every text written to it.
class Label final : public StatusLine {
 public:
  using Listener = std::function<void(const std::string&)>;

  void SetCaption(const std::string& text) override {
    caption_ = text;
    if (listener_)
      listener_(caption_);
  }
  const std::string& Caption() const { return caption_; }
  void SetListener(Listener listener) { listener_ = std::move(listener); }

 private:
  std::string caption_;
  Listener listener_;
};

// A single-selection list: its entries and the 0-based position of the selected one (-1: none).
struct ListBox {
  std::vector<std::string> items;
  int ListIndex = -1;

  std::string Text() const {
    return ListIndex >= 0 && ListIndex < static_cast<int>(items.size()) ? items[ListIndex] : "";
  }
};

// A window timer: it ticks every Interval milliseconds while Enabled and Interval is not 0.
struct Timer {
  int Interval = 0;
  bool Enabled = true;

  bool Ticking() const { return Enabled && Interval > 0; }
};

struct ProgressBar {
  int Min = 0;
  int Max = 100;
  int Value = 0;
  std::uint32_t BackColor = kSystemColour;

  static constexpr std::uint32_t kSystemColour = 0xFFFFFFFFu;  // the style's own colour
};

// The window-wide pointer setting.
enum class Pointer { kDefault, kBusy, kCustom };

// What the pointer becomes over a control: nothing happens, the arrow, or the custom hand.
enum class Hover { kNone, kArrow, kHand };

}  // namespace larkspur
