#pragma once
// The window's controls as plain state; a window face mirrors them into real widgets.
#include <functional>
#include <string>
#include <utility>

#include "iecleanup/status_line.h"

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

}  // namespace larkspur
