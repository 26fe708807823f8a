#pragma once
// How the window starts, as the command line asks.
#include <string>

namespace larkspur {

struct WindowStart {
  std::string notice;    // stands on the status line after start-up
  bool demo = false;     // on the sample folder, not the user's own data
  bool in_tray = false;  // --tray: hidden in the notification area, as at sign-in
};

}  // namespace larkspur
