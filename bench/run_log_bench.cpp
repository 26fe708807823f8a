// Times one run's entry appended to a full 1 MB run log, the trim to three quarters included:
// the log is filled with entries of a realistic length first, outside the timing, each time.
// Everything happens in a fresh temporary folder made here and removed at the end.
// Usage: run_log_bench [--repeat N] [--max-ms MS]
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/run_log_file.h"

namespace fs = std::filesystem;
using namespace larkspur;

namespace {

const std::string kEntry =
    "2026-12-08 09:10:56 command line: ie-history erased 12 (3.4 MB), firefox-cookies erased 1 "
    "(512.0 KB), firefox-cache erased 1,234 (56.7 MB). Erased 1,247 items (60.6 MB).\n";

// Whole entries up to just under the limit, so that the next one trims.
void FillLog(const fs::path& path) {
  std::string text;
  while (text.size() + kEntry.size() <= kRunLogLimit)
    text += kEntry;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace

int main(int argc, char** argv) {
  int repeat = 20;
  double max_ms = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view option = argv[i];
    if (option == "--repeat")
      repeat = std::max(1, std::atoi(argv[i + 1]));
    else if (option == "--max-ms")
      max_ms = std::atof(argv[i + 1]);
  }

  std::string pattern = (fs::temp_directory_path() / "larkspur-log-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr)
    return 2;
  const fs::path root = pattern;
  const fs::path log = root / "larkspur.log";

  // Wall time is what a run waits; the processor time beside it tells a busy machine's waiting
  // from the work itself.
  std::vector<double> milliseconds;
  std::vector<double> cpu_milliseconds;
  for (int run = 0; run < repeat; ++run) {
    FillLog(log);
    const std::uintmax_t full = fs::file_size(log);
    const std::clock_t cpu_start = std::clock();
    const auto start = std::chrono::steady_clock::now();
    const bool appended = RunLogFile(log.string()).Append(kEntry);
    milliseconds.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    cpu_milliseconds.push_back(1000.0 * static_cast<double>(std::clock() - cpu_start) /
                               CLOCKS_PER_SEC);
    if (!appended || fs::file_size(log) >= full) {
      std::fprintf(stderr, "the entry was not appended, or the log was not trimmed\n");
      fs::remove_all(root);
      return 2;
    }
  }
  fs::remove_all(root);
  std::sort(milliseconds.begin(), milliseconds.end());
  std::sort(cpu_milliseconds.begin(), cpu_milliseconds.end());
  const double median = milliseconds[milliseconds.size() / 2];
  std::printf(
      "run log: one entry appended to a full %ju KB log, trim included: median %.2f ms "
      "(%.2f ms of processor time), slowest %.2f ms, of %d; limit %.1f ms\n",
      static_cast<std::uintmax_t>(kRunLogLimit / 1024), median,
      cpu_milliseconds[cpu_milliseconds.size() / 2], milliseconds.back(), repeat, max_ms);
  return median <= max_ms ? 0 : 1;
}
