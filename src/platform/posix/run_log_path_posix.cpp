#include "platform/path_text.h"
#include "platform/run_log_file.h"
#include "platform/user_folders.h"

namespace larkspur {

std::string RunLogPath(const UserFolders& folders) {
  return IsAbsolutePath(folders.state) ? folders.state + "/larkspur/larkspur.log" : "";
}

}  // namespace larkspur
