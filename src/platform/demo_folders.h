#pragma once
// A fresh folder of sample browsing traces in a temporary folder, and the user folders inside it,
// to try the program on without going near the user's own data. Only where the stores are files
// of their own (Linux); elsewhere it says why not.
#include <optional>
#include <string>

#include "platform/user_folders.h"

namespace larkspur {

struct DemoFolders {
  std::string root;     // the sample folder
  UserFolders folders;  // home, config, data and cache folders inside it, for the stores
};

// Nothing in the process's environment changes. On failure, *error says why.
std::optional<DemoFolders> MakeDemoFolders(std::string* error);

}  // namespace larkspur
