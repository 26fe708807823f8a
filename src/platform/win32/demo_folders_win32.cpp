#include "platform/demo_folders.h"

namespace larkspur {

// The Windows build works on the real stores only; a sample folder cannot stand in for them.
std::optional<DemoFolders> MakeDemoFolders(std::string* error) {
  *error = "--demo is not available in the Windows build";
  return std::nullopt;
}

}  // namespace larkspur
