// Start at sign-in on Linux: a desktop entry in the autostart folder, which the session starts.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <string>

#include "platform/autostart.h"
#include "platform/posix/unique_fd.h"

namespace larkspur {

namespace {

constexpr char kEntryName[] = "larkspur.desktop";

std::string RunningProgram() {
  std::array<char, 4096> path{};
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
  return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : "larkspur";
}

// A desktop entry's Exec argument, quoted: the session passes it to the program unchanged.
std::string ExecArgument(const std::string& path) {
  std::string quoted = "\"";
  for (const char c : path) {
    if (c == '"' || c == '`' || c == '$' || c == '\\')
      quoted += "\\\\";  // escaped for the quoting, then once more for the entry's string
    if (c == '%')
      quoted += '%';
    quoted += c;
  }
  return quoted + '"';
}

std::string EntryText(const std::string& program) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Larkspur\n"
         "Comment=Erases browsing traces on a schedule\n"
         "Exec=" +
         ExecArgument(program) +
         " --tray\n"
         "Icon=larkspur\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

class DesktopEntryAutostart final : public AutostartPort {
 public:
  explicit DesktopEntryAutostart(std::string config) : config_(std::move(config)) {}

  bool IsOn() override {
    const UniqueFd folder = OpenFolder(false);
    struct stat entry {};
    return folder && ::fstatat(folder.get(), kEntryName, &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISREG(entry.st_mode);
  }

  bool SetOn(bool on) override {
    const UniqueFd folder = OpenFolder(on);
    if (!folder)
      return !on;
    if (!on)
      return ::unlinkat(folder.get(), kEntryName, 0) == 0 || errno == ENOENT;
    return Write(folder.get(), EntryText(RunningProgram()));
  }

 private:
  // The autostart folder, never reached through a link below the config folder.
  UniqueFd OpenFolder(bool make) const {
    if (config_.empty())
      return UniqueFd();
    UniqueFd config(::open(config_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!config)
      return UniqueFd();
    if (make)
      ::mkdirat(config.get(), "autostart", 0755);
    return UniqueFd(
        ::openat(config.get(), "autostart", O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  }

  // Through a fresh temporary file and a rename: a link in the entry's place is replaced, never
  // written through.
  static bool Write(int folder, const std::string& text) {
    const std::string temporary = ".larkspur.desktop." + std::to_string(::getpid());
    UniqueFd file(::openat(folder, temporary.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!file)
      return false;
    bool written =
        ::write(file.get(), text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
        ::fsync(file.get()) == 0;
    file.reset();
    written = written && ::renameat(folder, temporary.c_str(), folder, kEntryName) == 0;
    if (!written)
      ::unlinkat(folder, temporary.c_str(), 0);
    return written;
  }

  std::string config_;
};

}  // namespace

std::unique_ptr<AutostartPort> MakeAutostart(const UserFolders& folders) {
  return std::make_unique<DesktopEntryAutostart>(folders.config);
}

}  // namespace larkspur
