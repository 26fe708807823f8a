#pragma once
// The window of the program, from the face the build has (ui/qt or ui/win32).
#include <string>

#include "app/window_start.h"
#include "platform/user_folders.h"

namespace larkspur {

// Opens the main window on the stores in `folders` and runs until it closes; the exit code, 1
// when no window can open. `argc` and `argv` are the program's own, for the toolkit.
int RunWindow(int argc, char** argv, const UserFolders& folders, const WindowStart& start);

}  // namespace larkspur
