#pragma once
#include <functional>
#include <iosfwd>

namespace larkspur {

// larkspur [--demo] [--clean ITEM[,ITEM...]] | --list-items | --help | --version.
// Without --clean (or the information options) it calls `open_window`, after --demo has pointed
// the stores at the sample folder, and returns what that returns; a build without a window
// passes none and reports a mistake. Returns the process's exit code: 0, or 2 for a mistake in
// the options (nothing is deleted).
int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err,
                   const std::function<int()>& open_window = {});

}  // namespace larkspur
