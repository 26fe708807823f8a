#pragma once
// What a tree holds, to show that a run changed nothing outside its targets.
#include <filesystem>
#include <map>
#include <string>

namespace larkspur::testing {

// Every entry below `root` (not following links) with what it holds:
// a file's bytes, a link's target, "<folder>" for a folder. Entries below `except` are left out.
std::map<std::string, std::string> TreeSnapshot(const std::filesystem::path& root,
                                                const std::filesystem::path& except = {});

}  // namespace larkspur::testing
