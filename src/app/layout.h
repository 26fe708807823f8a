#pragma once
// The main window's controls where they are created: kind, caption, place and size in twips,
// font and tab order. Both window faces build from this one table.
#include <array>
#include <string_view>

namespace larkspur {

enum class ControlKind { kFrame, kTickBox, kPictureButton, kListBox, kProgressBar, kLabel };

struct ControlLayout {
  std::string_view name;
  ControlKind kind;
  std::string_view parent;   // "" for the window; places inside a frame count from the frame
  std::string_view caption;  // as created
  int left, top, width, height;
  double points;    // Arial bold; 0 for none
  bool black_text;  // black, else the system's control-text colour
  int tab_index;
  std::string_view picture;  // the picture buttons' 32 x 32 picture
};

inline constexpr int kClientWidth = 7680;  // 512 x 441 px at 96 dots per inch
inline constexpr int kClientHeight = 6615;
inline constexpr int kTwipsPerPixel = 15;  // at 96 dots per inch

// In the window's own order: a frame, then the controls inside it.
inline constexpr std::array<ControlLayout, 18> kLayout{{
    {"Frame2", ControlKind::kFrame, "", "Mozilla Firefox", 3910, 120, 3660, 2265, 9, false, 13, ""},
    {"chkFFCache", ControlKind::kTickBox, "Frame2", "Clear Cache", 315, 1800, 2355, 255, 9, false,
     22, ""},
    {"chkCookies", ControlKind::kTickBox, "Frame2", "Clear Cookies", 315, 1440, 2355, 255, 9, false,
     17, ""},
    {"chkTypedUrls", ControlKind::kTickBox, "Frame2", "Clear Typed URL(s) In Firefox", 315, 1080,
     3060, 255, 9, true, 16, ""},
    {"chkFFDownloads", ControlKind::kTickBox, "Frame2", "Clear Downloads", 315, 720, 3030, 255, 9,
     true, 15, ""},
    {"chkFFHist", ControlKind::kTickBox, "Frame2", "Clear Form History", 315, 360, 2130, 255, 9,
     true, 14, ""},
    {"Frame1", ControlKind::kFrame, "", "Internet Explorer", 120, 120, 3660, 2265, 9, false, 8, ""},
    {"chkIEHist", ControlKind::kTickBox, "Frame1", "Clear History", 315, 360, 1455, 255, 9, true,
     12, ""},
    {"chkIETemp", ControlKind::kTickBox, "Frame1", "Clear Cache/Temp Internet Files", 315, 720,
     3300, 255, 9, true, 11, ""},
    {"chkIETyped", ControlKind::kTickBox, "Frame1", "Clear Typed Urls In IE", 315, 1080, 2595, 255,
     9, true, 10, ""},
    {"chkIECookies", ControlKind::kTickBox, "Frame1", "Clear Cookies", 315, 1440, 2355, 255, 9,
     false, 9, ""},
    {"Check13", ControlKind::kPictureButton, "", "Turn On Auto Delete", 120, 4440, 2415, 1215,
     11.25, false, 5, "auto-delete"},
    {"Check12", ControlKind::kPictureButton, "", "Delete Now", 2610, 4440, 2415, 1215, 11.25, false,
     4, "delete-now"},
    {"Frame3", ControlKind::kFrame, "", "How often would you like to delete history?", 120, 2450,
     7455, 1905, 9.75, false, 2, ""},
    {"List1", ControlKind::kListBox, "Frame3", "", 240, 360, 6975, 1395, 9.75, false, 3, ""},
    {"Check11", ControlKind::kPictureButton, "", "View Save Log", 5130, 4440, 2415, 1215, 11.25,
     false, 1, "save-log"},
    {"ProgressBar1", ControlKind::kProgressBar, "", "", 120, 6120, 7455, 375, 0, false, 6, ""},
    {"Label5", ControlKind::kLabel, "", "", 120, 5760, 7455, 255, 9.75, true, 7, ""},
}};

}  // namespace larkspur
