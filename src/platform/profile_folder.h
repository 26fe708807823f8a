#pragma once
// A browser's profile folder (Firefox's, or a Chromium browser's), opened once and checked on
// what was opened; every file operation afterwards is made relative to that folder, so a path
// swapped meanwhile leads nowhere else.
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/file_to_read.h"
#include "platform/removal.h"

namespace larkspur {

// The steps of a profile's Path, split at both separators (Firefox on either system may have
// written profiles.ini), without empty and "." steps.
inline std::vector<std::string> ProfilePathSteps(const std::string& entry) {
  std::vector<std::string> steps;
  std::string step;
  for (const char c : entry + '/') {
    if (c == '/' || c == '\\') {
      if (!step.empty() && step != ".")
        steps.push_back(step);
      step.clear();
    } else {
      step += c;
    }
  }
  return steps;
}

class ProfileFolder {
 public:
  virtual ~ProfileFolder() = default;

  // The folder's path as text (no trailing separator), for messages.
  virtual const std::string& Path() const = 0;
  // Its own name, the last step of the path it was reached by.
  virtual const std::string& Name() const = 0;
  // Equal for two openings of the same folder, whatever the paths that led there.
  virtual const std::string& Identity() const = 0;

  // Whether an entry of that name (a link itself, not its target) is in the folder; in a
  // preview, a file answered as removed is not.
  virtual bool Exists(const std::string& name) = 0;
  // Deletes the files of the folder, or of its subfolder `subfolder` (entered without following
  // a link), whose names match `pattern` ("*", "?"; "*.*" is every file). Folders stay. One
  // answer for each match, named as in the folder; none when nothing matched.
  virtual std::vector<NamedRemoval> DeleteMatching(const std::string& subfolder,
                                                   const std::string& pattern) = 0;

  // Whether a running Firefox holds the profile (its lock is held, not merely present). A
  // Chromium browser locks its user-data folder instead (see UserDataFolders).
  virtual bool InUse() = 0;

  // Opens the file `name` of the folder to be read: a regular file on the folder's volume,
  // reached without a link, opened without blocking and checked after the open to be the entry
  // that was looked at. Null when that fails, with `absent` true when there is no such entry at
  // all. A preview reads what a run would read.
  virtual std::unique_ptr<FileToRead> OpenToRead(const std::string& name, bool* absent) = 0;

  // The names in the subfolder `subfolder`; empty when it is missing.
  virtual std::vector<std::string> List(const std::string& subfolder) = 0;
  // In a preview, Rename and WriteNew change nothing and answer true.
  // Renames within `subfolder`, never over an existing name.
  virtual bool Rename(const std::string& subfolder, const std::string& from,
                      const std::string& to) = 0;
  // Writes a new file `name` in `subfolder` (made if missing) completely and durably before it
  // appears under its name (temporary file, flush to disk, rename); never replaces a file.
  virtual bool WriteNew(const std::string& subfolder, const std::string& name,
                        const std::string& contents) = 0;
};

// The files that make a folder a profile: it holds one of them as a regular file.
inline constexpr const char* kFirefoxProfileMarkers[] = {"prefs.js", "times.json"};
inline constexpr const char* kChromiumProfileMarkers[] = {"Preferences"};

// Made for a preview (see PreviewLedger), every folder it opens changes nothing.
class ProfileFolders {
 public:
  virtual ~ProfileFolders() = default;

  // A Firefox profile.
  std::unique_ptr<ProfileFolder> Open(const std::string& firefox_folder, const std::string& entry,
                                      bool relative, std::string* refusal = nullptr) {
    return OpenMarked(firefox_folder, entry, relative, kFirefoxProfileMarkers, refusal);
  }
  // A Chromium browser's profile, the folder `name` of its user-data folder; an empty name
  // stands for the user-data folder itself.
  std::unique_ptr<ProfileFolder> OpenChromium(const std::string& user_data_folder,
                                              const std::string& name,
                                              std::string* refusal = nullptr) {
    return OpenMarked(user_data_folder, name, true, kChromiumProfileMarkers, refusal);
  }

  // Opens `entry` (steps separated by '/' or the platform's separator) below `base`, following
  // no link on the way, or, with `relative` false, the absolute path `entry`. Refused (nullptr):
  // a ".." step, a link, a root, the user's home folder or a folder above it, and a folder that
  // holds none of `markers` as a regular file. A refused folder that is there gets its reason in
  // `refusal` ("it is a link"); a missing one leaves it empty.
  virtual std::unique_ptr<ProfileFolder> OpenMarked(const std::string& base,
                                                    const std::string& entry, bool relative,
                                                    std::span<const char* const> markers,
                                                    std::string* refusal = nullptr) = 0;
};

// The reasons Open gives.
inline constexpr char kProfileIsLink[] = "it is reached through a link";
inline constexpr char kProfileIsRoot[] = "it is a root or a mount point";
inline constexpr char kProfileIsHome[] = "it is your home folder or holds it";
inline constexpr char kProfileNotFolder[] = "it is not a folder";
inline constexpr char kProfileHasDotDot[] = "its path has a \"..\" step";
inline constexpr char kProfileUnreadable[] = "it cannot be opened";

// Sets `refusal`, when asked for, to `why`.
inline void Refuse(std::string* refusal, const std::string& why) {
  if (refusal != nullptr)
    *refusal = why;
}

// "it holds neither prefs.js nor times.json", "it holds no Preferences".
inline std::string NotAProfile(std::span<const char* const> markers) {
  if (markers.size() == 1)
    return std::string("it holds no ") + markers[0];
  std::string why = "it holds neither ";
  for (std::size_t index = 0; index < markers.size(); ++index)
    why.append(index == 0                    ? ""
               : index + 1 == markers.size() ? " nor "
                                             : ", ")
        .append(markers[index]);
  return why;
}

}  // namespace larkspur
