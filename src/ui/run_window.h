#pragma once
// The window of the program, from the face the build has (ui/qt or ui/win32).
#include "platform/user_folders.h"

namespace larkspur {

// Opens the main window on the stores in `folders` and runs until it closes; the exit code.
// `argc` and `argv` are the program's own, for the toolkit.
int RunWindow(int argc, char** argv, const UserFolders& folders);

}  // namespace larkspur
