#pragma once
// The parts of --help that differ between the builds: whether --demo exists, and where the
// program keeps its settings, its stand-in stores and its log.

namespace larkspur {

extern const char kDemoUsage[];       // "[--demo] " where --demo exists, else ""
extern const char kDemoOptionHelp[];  // its lines among the options, else ""
extern const char kFilesHelp[];       // "Files:" and one line each

}  // namespace larkspur
