#include "platform/run_log_file.h"

#include "platform/locked_run_log.h"
#include "platform/path_text.h"

namespace larkspur {

namespace {

// Cuts `tail` to its whole lines; `starts_line` says whether its first byte begins one. What is
// kept ends with a line break, so that the next entry starts a line of its own.
void KeepWholeLines(std::string& tail, bool starts_line) {
  if (!starts_line) {
    const std::size_t cut = tail.find('\n');
    tail.erase(0, cut == std::string::npos ? tail.size() : cut + 1);
  }
  if (!tail.empty() && tail.back() != '\n')
    tail += '\n';
}

}  // namespace

bool RunLogFile::EnsureExists() {
  return IsAbsolutePath(path_) && LockRunLog(path_) != nullptr;
}

bool RunLogFile::Append(const std::string& entry) {
  if (!IsAbsolutePath(path_))
    return false;
  const std::unique_ptr<LockedRunLog> log = LockRunLog(path_);
  const std::optional<std::uint64_t> size = log ? log->Size() : std::nullopt;
  if (!size)
    return false;
  std::string last;
  if (*size > 0 && !log->ReadAt(*size - 1, 1, &last))
    return false;
  const std::string entry_line = (last.empty() || last == "\n" ? "" : "\n") + entry;
  if (*size + entry_line.size() <= limit_)
    return log->Append(entry_line);

  // Only the tail that is kept is read, one byte before it included to tell whether it begins
  // a line: a huge (or sparse) log costs no more than a full one. This run's entry always stays.
  const std::uint64_t budget = limit_ / 4 * 3;
  const std::uint64_t room = budget > entry.size() ? budget - entry.size() - 1 : 0;
  std::string kept;
  if (room > 0) {
    const std::uint64_t start = *size > room ? *size - room : 0;
    const std::uint64_t from = start > 0 ? start - 1 : 0;
    kept.reserve(static_cast<std::size_t>(*size - from) + 1 + entry.size());
    if (!log->ReadAt(from, static_cast<std::size_t>(*size - from), &kept))
      return false;
    KeepWholeLines(kept, start == 0);
  }
  return log->Replace(kept += entry);
}

}  // namespace larkspur
