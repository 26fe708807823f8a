#pragma once
#include <functional>
#include <iosfwd>
#include <string>

#include "app/window_start.h"
#include "platform/user_folders.h"

namespace larkspur {

// larkspur [--demo] [--tray] [--clean ITEM[,ITEM...]] | --list-items | -h | --help | -V
// | --version. Without --clean (or the information options) it calls `open_window` with the user
// folders of the stores (with --demo, those of the sample folder) and how the window starts (a
// notice for the status line under --demo, --tray), and returns what that returns; a build
// without a window passes none and reports a mistake. Returns the process's exit code: 0, 1 when
// --demo cannot build its folder, the window cannot open or a run's output could not all be
// written (a closed pipe, a full disk: the run itself goes on), or 2 for a mistake in the options
// (nothing is deleted).
using OpenWindow = std::function<int(const UserFolders& folders, const WindowStart& start)>;
int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err,
                   const OpenWindow& open_window = {});

}  // namespace larkspur
