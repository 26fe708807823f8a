#pragma once
// The tray icon's menu, one row an entry: its caption and the window's handler it calls. Both
// faces build the menu from this table and route each choice through it.
#include <array>
#include <string_view>

#include "app/main_window.h"

namespace larkspur {

struct TrayMenuRow {
  std::string_view caption;
  void (MainWindow::*choose)();
  bool (MainWindow::*ticked)() = nullptr;  // a tick entry: whether it shows its tick
};

inline constexpr std::array<TrayMenuRow, 4> kTrayMenu{{
    {"Show Larkspur", &MainWindow::cSysTray1_MouseDblClick},
    {"Delete Now", &MainWindow::TrayMenu_DeleteNow},
    {"Start at sign-in", &MainWindow::TrayMenu_StartAtSignIn, &MainWindow::StartsAtSignIn},
    {"Exit", &MainWindow::TrayMenu_Exit},
}};

}  // namespace larkspur
