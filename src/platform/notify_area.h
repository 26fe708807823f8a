#pragma once
// The notification area and the route of its callbacks back to the icon's window, in the shape of
// Shell_NotifyIconA and of window subclassing, so that the tray control is one code for both
// platforms and the Windows adapter is a plain pass-through.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace larkspur {

using WindowHandle = std::uintptr_t;
using IconHandle = std::uintptr_t;

// Shell_NotifyIconA's messages.
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;

// The fields a call carries.
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;

inline constexpr std::size_t kTipBytes = 64;

// NOTIFYICONDATAA in its first form, field for field. szTip holds UTF-8 text and its NUL; the
// Windows adapter converts it to the ANSI code page, which never makes it longer.
struct NotifyIconDataA {
  std::uint32_t cbSize;
  WindowHandle hWnd;
  std::uint32_t uID;
  std::uint32_t uFlags;
  std::uint32_t uCallbackMessage;
  IconHandle hIcon;
  char szTip[kTipBytes];
};

// The first form's size on this platform (NOTIFYICONDATAA_V1_SIZE): 88 bytes where handles take
// 32 bits, 104 where they take 64. The shell rejects a size it does not know.
inline constexpr std::uint32_t kNotifyIconDataV1Size = offsetof(NotifyIconDataA, szTip) + kTipBytes;
static_assert(sizeof(void*) != 4 || kNotifyIconDataV1Size == 88);

// The mouse messages the shell reports for an icon.
inline constexpr std::uint32_t kWmMouseMove = 512;
inline constexpr std::uint32_t kWmLButtonDown = 513;
inline constexpr std::uint32_t kWmLButtonUp = 514;
inline constexpr std::uint32_t kWmLButtonDblClk = 515;
inline constexpr std::uint32_t kWmRButtonDown = 516;
inline constexpr std::uint32_t kWmRButtonUp = 517;
inline constexpr std::uint32_t kWmRButtonDblClk = 518;
inline constexpr std::uint32_t kWmMButtonDown = 519;
inline constexpr std::uint32_t kWmMButtonUp = 520;
inline constexpr std::uint32_t kWmMButtonDblClk = 521;

class NotifyAreaPort {
 public:
  virtual ~NotifyAreaPort() = default;

  // Shell_NotifyIconA(message, data). An icon is known by hWnd and uID. Once added with
  // NIF_MESSAGE, mouse actions on it come to hWnd as uCallbackMessage, with wParam the uID and
  // lParam the mouse message. Adding a known icon, or changing or removing an unknown one, fails.
  virtual bool ShellNotifyIcon(std::uint32_t message, const NotifyIconDataA& data) = 0;
};

// A window procedure: (window, message, wParam, lParam) -> result.
using WindowProcedure =
    std::function<std::intptr_t(WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t)>;

// A procedure put in front of a window's own; `previous` is the one it replaced, which the
// subclass procedure calls to pass a message on.
using SubclassProcedure = std::function<std::intptr_t(
    WindowHandle, std::uint32_t, std::uintptr_t, std::intptr_t, const WindowProcedure& previous)>;

// Window subclassing (SetWindowLongPtrA with GWLP_WNDPROC, CallWindowProcA). The replaced
// procedure is kept per window, so hooks on two windows never mix up their messages. Where the
// toolkit has no window procedures, only the notification area's callbacks take this route, and
// `previous` does nothing and returns 0.
class WindowSubclassPort {
 public:
  virtual ~WindowSubclassPort() = default;

  // From now on every message of `window` goes to `procedure` first.
  virtual void Subclass(WindowHandle window, SubclassProcedure procedure) = 0;
  // Puts the replaced procedure back. May come from inside `procedure` itself (a handler that
  // removes the icon), so a procedure must stay alive until its call returns.
  virtual void Unsubclass(WindowHandle window) = 0;
};

}  // namespace larkspur
