#pragma once

namespace larkspur {

// Opens the main window on the user's stores and runs until it closes; the exit code.
int RunWindow();

}  // namespace larkspur
