#pragma once
// mSysTray: the hook in front of a tray control's window. It turns the shell's callback message
// into the control's events and passes every message on to the window's previous procedure.
#include <cstdint>

#include "platform/notify_area.h"

namespace larkspur {

class cSysTray;

namespace mSysTray {

inline constexpr std::uint32_t TRAY_CALLBACK_MESSAGE = 1125;  // WM_USER + 101

// The control outlives its hook: it removes the hook before it goes.
void Install(WindowSubclassPort& subclass, WindowHandle window, cSysTray& control);
void Remove(WindowSubclassPort& subclass, WindowHandle window);

// For the callback message, wParam is the icon's id and lParam the mouse message. The control's
// handler runs to its end before the message goes on.
std::intptr_t TrayWindowProc(cSysTray& control, WindowHandle hwnd, std::uint32_t uMsg,
                             std::uintptr_t wParam, std::intptr_t lParam,
                             const WindowProcedure& PrevWndProc);

}  // namespace mSysTray
}  // namespace larkspur
