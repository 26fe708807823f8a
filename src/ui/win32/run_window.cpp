#include "ui/run_window.h"

#include "platform/native_stores.h"
#include "platform/run_log_file.h"
#include "ui/win32/win32_program.h"

namespace larkspur {

// The window needs none of the arguments: Windows gives it its instance. No notice: --demo, its
// only source, is not in this build.
int RunWindow(int, char**, const UserFolders& folders, const WindowStart& start) {
  Win32Program program(MakeNativeStores(folders), ::GetModuleHandleW(nullptr), ProgramFolder(),
                       std::make_unique<Win32Desktop>(), RunLogPath(folders), start);
  if (program.face().Handle() == nullptr)
    return 1;  // no window station to show a window on
  program.Open();
  return program.Run();
}

}  // namespace larkspur
