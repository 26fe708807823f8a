#pragma once
#include <iosfwd>

namespace larkspur {

// larkspur --clean ITEM[,ITEM...] | --list-items | --demo | --help | --version.
// Returns the process's exit code: 0, or 2 for a mistake in the options (nothing is deleted).
int RunCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace larkspur
