#pragma once
#include <optional>
#include <string>

namespace larkspur {

// Reads a whole file; nullopt when it cannot be read (a missing file included).
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces `path` by `contents` through a temporary file in the same folder and a rename, so a
// reader sees either the old or the new file, never half of one. False when nothing changed.
bool WriteFileAtomically(const std::string& path, const std::string& contents);

}  // namespace larkspur
