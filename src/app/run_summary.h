#pragma once
// The words a run leaves behind: the one-line summary the user sees, the entry of the run log
// (counts only, never a name), and the tray tip that says when the next timed run is due.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/run_tally.h"

namespace larkspur {

// "Erased 1,234 items (56.7 MB). 3 stayed: in use." or "Nothing to erase."
std::string SummaryLine(const RunTally& tally);

// 1234567 -> "1,234,567".
std::string GroupedCount(std::uint64_t count);
// 512 -> "512 bytes", 58'000'000 -> "55.3 MB" (units of 1024, one decimal).
std::string ByteSize(std::uint64_t bytes);

// One line of the run log: local time "YYYY-MM-DD HH:MM:SS", what started the run, the summary,
// then what went and what stayed of each item that did something.
std::string LogEntry(const std::string& local_time, std::string_view started_by,
                     const std::vector<ItemTally>& items);

// "Larkspur: next run at 14:35".
std::string NextRunTip(int hour, int minute);

}  // namespace larkspur
