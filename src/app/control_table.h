#pragma once
// The main window's controls, one row each: where and how a face creates it (kind, caption, place
// and size in twips, font, tab order), the state in Form1 it shows, the handler its click or
// selection calls, what the pointer becomes over it and the tooltip it shows. Both window faces
// build from this one table and route every event through it.
#include <array>
#include <string_view>

#include "app/form1.h"
#include "app/main_window.h"

namespace larkspur {

enum class ControlKind {
  kFocusButton,
  kFrame,
  kTickBox,
  kPictureButton,
  kListBox,
  kProgressBar,
  kLabel
};

struct ControlRow {
  std::string_view name;
  ControlKind kind;
  std::string_view parent;   // "" for the window; places inside a frame count from the frame
  std::string_view caption;  // as created
  int left, top, width, height;
  double points;  // Arial bold; 0 for none
  int tab_index;
  std::string_view picture;               // the picture buttons' 32 x 32 picture
  CheckBox Form1::*box = nullptr;         // the tick a click sets and Mirror shows
  void (MainWindow::*click)() = nullptr;  // after a click, or a new selection in the list
  Hover hover = Hover::kNone;             // the pointer over it
  std::string Form1::*tip = nullptr;      // over it and the controls inside it
};

inline constexpr int kClientWidth = 7680;  // 512 x 596 px at 96 dots per inch
inline constexpr int kClientHeight = 8945;
inline constexpr int kTwipsPerPixel = 15;  // at 96 dots per inch

// In the window's own order: a frame, then the controls inside it. The first tab stop is a
// button outside the client area, so that no visible control shows the focus at start. The
// Chromium browsers' frames, added last, make a second row of browsers; what lay below the first
// row lies one row (2330 twips) lower.
inline constexpr std::array<ControlRow, 29> kControlTable{{
    {"Command1", ControlKind::kFocusButton, "", "Command1", -720, 2640, 615, 495, 0, 0, ""},
    {"Frame2", ControlKind::kFrame, "", "Mozilla Firefox", 3910, 120, 3660, 2265, 9, 13, ""},
    {"chkFFCache", ControlKind::kTickBox, "Frame2", "Clear Cache", 315, 1800, 2355, 255, 9, 22, "",
     &Form1::chkFFCache, &MainWindow::TickBox_Click},
    {"chkCookies", ControlKind::kTickBox, "Frame2", "Clear Cookies", 315, 1440, 2355, 255, 9, 17,
     "", &Form1::chkCookies, &MainWindow::TickBox_Click},
    {"chkTypedUrls", ControlKind::kTickBox, "Frame2", "Clear Typed URL(s) In Firefox", 315, 1080,
     3060, 255, 9, 16, "", &Form1::chkTypedUrls, &MainWindow::TickBox_Click},
    {"chkFFDownloads", ControlKind::kTickBox, "Frame2", "Clear Downloads", 315, 720, 3030, 255, 9,
     15, "", &Form1::chkFFDownloads, &MainWindow::TickBox_Click},
    {"chkFFHist", ControlKind::kTickBox, "Frame2", "Clear Form History", 315, 360, 2130, 255, 9, 14,
     "", &Form1::chkFFHist, &MainWindow::TickBox_Click},
    {"Frame1", ControlKind::kFrame, "", "Internet Explorer", 120, 120, 3660, 2265, 9, 8, ""},
    {"chkIEHist", ControlKind::kTickBox, "Frame1", "Clear History", 315, 360, 1455, 255, 9, 12, "",
     &Form1::chkIEHist, &MainWindow::TickBox_Click},
    {"chkIETemp", ControlKind::kTickBox, "Frame1", "Clear Cache/Temp Internet Files", 315, 720,
     3300, 255, 9, 11, "", &Form1::chkIETemp, &MainWindow::TickBox_Click},
    {"chkIETyped", ControlKind::kTickBox, "Frame1", "Clear Typed Urls In IE", 315, 1080, 2595, 255,
     9, 10, "", &Form1::chkIETyped, &MainWindow::TickBox_Click},
    {"chkIECookies", ControlKind::kTickBox, "Frame1", "Clear Cookies", 315, 1440, 2355, 255, 9, 9,
     "", &Form1::chkIECookies, &MainWindow::TickBox_Click},
    {"Check13", ControlKind::kPictureButton, "", "Turn On Auto Delete", 120, 6770, 2415, 1215,
     11.25, 5, "auto-delete", &Form1::Check13, &MainWindow::Check13_Click, Hover::kHand},
    {"Check12", ControlKind::kPictureButton, "", "Delete Now", 2610, 6770, 2415, 1215, 11.25, 4,
     "delete-now", &Form1::Check12, &MainWindow::Check12_Click, Hover::kHand},
    {"Frame3", ControlKind::kFrame, "", "How often would you like to delete history?", 120, 4780,
     7455, 1905, 9.75, 2, "", nullptr, nullptr, Hover::kArrow},
    {"List1", ControlKind::kListBox, "Frame3", "", 240, 360, 6975, 1395, 9.75, 3, "", nullptr,
     &MainWindow::List1_Click, Hover::kArrow},
    {"Check11", ControlKind::kPictureButton, "", "View Save Log", 5130, 6770, 2415, 1215, 11.25, 1,
     "save-log", &Form1::Check11, &MainWindow::Check11_Click, Hover::kHand},
    {"ProgressBar1", ControlKind::kProgressBar, "", "", 120, 8450, 7455, 375, 0, 6, ""},
    {"Label5", ControlKind::kLabel, "", "", 120, 8090, 7455, 255, 9.75, 7, ""},
    {"Frame4", ControlKind::kFrame, "", "Google Chrome", 120, 2450, 3660, 2265, 9, 23, "", nullptr,
     nullptr, Hover::kNone, &Form1::Frame4ToolTipText},
    {"chkChromeHist", ControlKind::kTickBox, "Frame4", "Clear History", 315, 360, 2355, 255, 9, 24,
     "", &Form1::chkChromeHist, &MainWindow::TickBox_Click},
    {"chkChromeCache", ControlKind::kTickBox, "Frame4", "Clear Cache", 315, 720, 2355, 255, 9, 25,
     "", &Form1::chkChromeCache, &MainWindow::TickBox_Click},
    {"chkChromeCookies", ControlKind::kTickBox, "Frame4", "Clear Cookies", 315, 1080, 2355, 255, 9,
     26, "", &Form1::chkChromeCookies, &MainWindow::TickBox_Click},
    {"chkChromeTabs", ControlKind::kTickBox, "Frame4", "Clear Open Tabs", 315, 1440, 2355, 255, 9,
     27, "", &Form1::chkChromeTabs, &MainWindow::TickBox_Click},
    {"Frame5", ControlKind::kFrame, "", "Microsoft Edge", 3910, 2450, 3660, 2265, 9, 28, ""},
    {"chkEdgeHist", ControlKind::kTickBox, "Frame5", "Clear History", 315, 360, 2355, 255, 9, 29,
     "", &Form1::chkEdgeHist, &MainWindow::TickBox_Click},
    {"chkEdgeCache", ControlKind::kTickBox, "Frame5", "Clear Cache", 315, 720, 2355, 255, 9, 30, "",
     &Form1::chkEdgeCache, &MainWindow::TickBox_Click},
    {"chkEdgeCookies", ControlKind::kTickBox, "Frame5", "Clear Cookies", 315, 1080, 2355, 255, 9,
     31, "", &Form1::chkEdgeCookies, &MainWindow::TickBox_Click},
    {"chkEdgeTabs", ControlKind::kTickBox, "Frame5", "Clear Open Tabs", 315, 1440, 2355, 255, 9, 32,
     "", &Form1::chkEdgeTabs, &MainWindow::TickBox_Click},
}};

}  // namespace larkspur
