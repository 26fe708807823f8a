#include "tray/sys_tray_hook.h"

#include "tray/sys_tray.h"

namespace larkspur::mSysTray {

void Install(WindowSubclassPort& subclass, WindowHandle window, cSysTray& control) {
  subclass.Subclass(window, [&control](WindowHandle hwnd, std::uint32_t uMsg, std::uintptr_t wParam,
                                       std::intptr_t lParam, const WindowProcedure& previous) {
    return TrayWindowProc(control, hwnd, uMsg, wParam, lParam, previous);
  });
}

void Remove(WindowSubclassPort& subclass, WindowHandle window) {
  subclass.Unsubclass(window);
}

std::intptr_t TrayWindowProc(cSysTray& control, WindowHandle hwnd, std::uint32_t uMsg,
                             std::uintptr_t wParam, std::intptr_t lParam,
                             const WindowProcedure& PrevWndProc) {
  if (uMsg == TRAY_CALLBACK_MESSAGE)
    control.HandleTrayMessage(lParam, static_cast<std::int32_t>(wParam));
  // The handler may have removed the hook; the previous procedure is still the caller's to call.
  return PrevWndProc ? PrevWndProc(hwnd, uMsg, wParam, lParam) : 0;
}

}  // namespace larkspur::mSysTray
