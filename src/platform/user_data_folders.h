#pragma once
// What the Chromium browsers' locator asks of a user-data folder: the folder that holds
// "Local State", the profiles, and the browser's lock.
#include <cstddef>
#include <string>
#include <vector>

namespace larkspur {

// "Local State" is a few hundred kilobytes at most; a larger one is not read.
inline constexpr std::size_t kLocalStateLimit = 16 * 1024 * 1024;

class UserDataFolders {
 public:
  virtual ~UserDataFolders() = default;

  // The text of the folder's "Local State", a regular file reached without a link, at most
  // kLocalStateLimit bytes; empty when there is no such file or it cannot be read.
  virtual std::string LocalState(const std::string& folder) = 0;
  // The names of the folder's real subfolders; links are left out.
  virtual std::vector<std::string> Subfolders(const std::string& folder) = 0;
  // Whether a browser has the folder open. Linux: its SingletonLock link names this host and a
  // live process, or, with `sandboxed` (a Flatpak's process numbers are its own), is there at
  // all. Windows: the browser's hidden message window carries the folder's path as its title.
  // The lock itself is never opened.
  virtual bool Running(const std::string& folder, bool sandboxed) = 0;
};

}  // namespace larkspur
