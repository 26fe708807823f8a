#include "support/tree_snapshot.h"

#include "support/temp_dir.h"

namespace larkspur::testing {

std::map<std::string, std::string> TreeSnapshot(const std::filesystem::path& root,
                                                const std::filesystem::path& except) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> snapshot;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    const fs::path& path = it->path();
    if (!except.empty() && (path == except || path.string().starts_with(except.string() + "/"))) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_symlink())
      snapshot[path.string()] = "-> " + fs::read_symlink(path).string();
    else if (it->is_directory())
      snapshot[path.string()] = "<folder>";
    else
      snapshot[path.string()] = ReadFile(path);
  }
  return snapshot;
}

}  // namespace larkspur::testing
