#include "ui/win32/run_window.h"

#include "platform/native_stores.h"
#include "ui/win32/win32_program.h"

namespace larkspur {

int RunWindow() {
  Win32Program program(MakeNativeStores(UserFoldersFromEnvironment()), ::GetModuleHandleW(nullptr),
                       ProgramFolder());
  if (program.face().Handle() == nullptr)
    return 1;  // no window station to show a window on
  program.Open();
  return program.Run();
}

}  // namespace larkspur
