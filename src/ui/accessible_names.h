#pragma once
// What assistive technology calls the window's controls where their captions alone would not
// tell them apart: two boxes read "Clear Cookies", one per browser.
#include <string>
#include <string_view>

#include "app/control_table.h"

namespace larkspur {

// "Mozilla Firefox" -> "Firefox", "Google Chrome" -> "Chrome": the browser without its maker.
inline std::string_view BrowserOfFrame(std::string_view frame_caption) {
  for (const std::string_view maker : {"Mozilla ", "Google ", "Microsoft "})
    if (frame_caption.starts_with(maker))
      return frame_caption.substr(maker.size());
  return frame_caption;
}

// "Firefox: Clear Cookies" for a tick box in a browser's frame; the caption itself elsewhere.
inline std::string AccessibleName(const ControlRow& row, const std::string& caption) {
  if (row.kind != ControlKind::kTickBox || row.parent.empty())
    return caption;
  for (const ControlRow& frame : kControlTable)
    if (frame.name == row.parent)
      return std::string(BrowserOfFrame(frame.caption)) + ": " + caption;
  return caption;
}

// The names of the controls that show no caption of their own.
inline constexpr char kListName[] = "How often would you like to delete history?";
inline constexpr char kProgressName[] = "Progress";
inline constexpr char kStatusName[] = "Status";

}  // namespace larkspur
