#pragma once
// A Windows cursor file (.cur) made in the test, for the window's custom pointer.
#include <string>

namespace larkspur::testing {

// A 32 x 32 black-and-white arrow with its hot spot at (1, 1).
std::string CursorFileBytes();

}  // namespace larkspur::testing
