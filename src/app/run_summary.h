#pragma once
// The words a run leaves behind: the one-line summary the user sees, the entry of the run log
// (counts only, never a name), and the tray tip that says when the next timed run is due.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/run_tally.h"
#include "platform/size_units.h"

namespace larkspur {

// "Erased 1,234 items (56.7 MB). 3 stayed: in use." or "Nothing to erase."; a preview's:
// "Would erase 1,234 items (56.7 MB). 3 would stay: in use."
std::string SummaryLine(const RunTally& tally, bool preview = false);

// "in use", "access refused", …
std::string_view ReasonWords(StayReason why);
// One thing that stayed, for the command line: "stayed (in use): C:\a\index.dat"; a preview's
// "would stay (in use): …".
std::string StayedLine(const std::string& what, StayReason why, bool preview);

// 1234567 -> "1,234,567".
std::string GroupedCount(std::uint64_t count);
// 512 -> "512 bytes", 1'048'575 -> "1.0 MB" in units of 1024, "1.0 MB" in units of 1000 too
// (one decimal, rounded, and never 1000 or more of a unit when the next one exists).
std::string ByteSize(std::uint64_t bytes, const SizeUnits& units = kFileManagerUnits);

// One line of the run log: local time "YYYY-MM-DD HH:MM:SS", what started the run, the summary,
// then what went and what stayed of each item that did something.
std::string LogEntry(const std::string& local_time, std::string_view started_by,
                     const std::vector<ItemTally>& items);

// "Larkspur: next run at 14:35".
std::string NextRunTip(int hour, int minute);

}  // namespace larkspur
