#pragma once
// The run log opened for one change: a regular file reached without a link (never a FIFO, a
// device or a folder, never blocking), held under the lock that every run's append and trim
// share, so that two runs at once lose no entry.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace larkspur {

class LockedRunLog {
 public:
  virtual ~LockedRunLog() = default;

  virtual std::optional<std::uint64_t> Size() = 0;
  // Up to `length` bytes from `offset` (fewer at the end); false on a read error.
  virtual bool ReadAt(std::uint64_t offset, std::size_t length, std::string* text) = 0;
  virtual bool Append(const std::string& text) = 0;
  // The log holds `text` and nothing else afterwards.
  virtual bool Replace(const std::string& text) = 0;
};

// Opens the log at the absolute `path`, making it and its folders when missing, and waits for
// its lock. Null when something else is there (a link, a FIFO, a folder) or it cannot be
// written: nothing outside the log is touched.
std::unique_ptr<LockedRunLog> LockRunLog(const std::string& path);

}  // namespace larkspur
