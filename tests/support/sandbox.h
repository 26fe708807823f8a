#pragma once
// The throw-away home of one test process: HOME, the XDG folders and WINEPREFIX point into a
// fresh temporary folder before any test code runs, so no test can reach the real user's data.
#include <filesystem>

namespace larkspur::testing {

// Makes the sandbox and points the environment into it.
void EnterSandbox();
// Removes the sandbox.
void LeaveSandbox();

}  // namespace larkspur::testing
