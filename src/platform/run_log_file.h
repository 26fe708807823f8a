#pragma once
// The per-user run log: one line per run, appended, and kept to the newest lines within a bound.
#include <cstdint>
#include <string>
#include <utility>

namespace larkspur {

inline constexpr std::uintmax_t kRunLogLimit = 1024 * 1024;

struct UserFolders;

// Where the run log lives: Linux ${XDG_STATE_HOME:-~/.local/state}/larkspur/larkspur.log,
// Windows %LOCALAPPDATA%\Quillmark\Larkspur\larkspur.log; empty without that folder.
std::string RunLogPath(const UserFolders& folders);

// The local time now, "YYYY-MM-DD HH:MM:SS", as log entries begin.
std::string LocalTimestamp();

class RunLogFile {
 public:
  // `path` empty (no per-user folder known) makes every call fail without touching anything.
  explicit RunLogFile(std::string path, std::uintmax_t limit = kRunLogLimit)
      : path_(std::move(path)), limit_(limit) {}

  // Appends `entry` (whole lines). When the log would outgrow its limit, the oldest lines go
  // first, so that after the call it holds at most three quarters of the limit, `entry` always
  // included. False, with nothing touched, when the log is not a regular file reached without a
  // link (a link, a FIFO, a folder) or cannot be written.
  bool Append(const std::string& entry);

  // Makes the log (and its folders) if it is missing, so that it can be opened in an editor;
  // false on the same terms as Append.
  bool EnsureExists();

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::uintmax_t limit_;
};

}  // namespace larkspur
