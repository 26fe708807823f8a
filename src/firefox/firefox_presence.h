#pragma once
// Whether Firefox has any data on this computer, for the window and the command line.
#include <string>

#include "firefox/firefox_ports.h"

namespace larkspur {

// Empty when a profile opens; else one sentence that says where none was found.
std::string FirefoxMissing(const FirefoxPorts& ports);

}  // namespace larkspur
