#pragma once
// The notification area through Shell_NotifyIconA, and its callbacks through window subclassing.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <map>
#include <memory>
#include <utility>

#include "platform/notify_area.h"

namespace larkspur {

// Keeps each icon it added and has not removed, as last changed, for a new notification area.
class Win32NotifyArea final : public NotifyAreaPort {
 public:
  bool ShellNotifyIcon(std::uint32_t message, const NotifyIconDataA& data) override;

  // The notification area is new (Explorer started again) and empty: adds the icons again.
  void AddAgain();

 private:
  std::map<std::pair<HWND, UINT>, NOTIFYICONDATAA> icons_;
};

// The shell's record for a call: the first form, its tip in the ANSI code page.
NOTIFYICONDATAA RecordFor(const NotifyIconDataA& data);

// Puts one procedure of its own in front of a window's (GWLP_WNDPROC) and keeps the window's hook
// record in GWLP_USERDATA, whose value the window gets back on removal. Must outlive the windows
// it hooks, or remove the hooks first; what is still hooked at its end is removed then.
class Win32WindowSubclass final : public WindowSubclassPort {
 public:
  Win32WindowSubclass() = default;
  ~Win32WindowSubclass() override;
  Win32WindowSubclass(const Win32WindowSubclass&) = delete;
  Win32WindowSubclass& operator=(const Win32WindowSubclass&) = delete;

  void Subclass(WindowHandle window, SubclassProcedure procedure) override;
  void Unsubclass(WindowHandle window) override;

 private:
  struct Hook {
    Win32WindowSubclass* owner;
    WNDPROC previous;
    LONG_PTR previous_user_data;
    // Shared, so that a call in progress keeps its procedure when the hook goes.
    std::shared_ptr<const SubclassProcedure> procedure;
  };

  static LRESULT CALLBACK HookProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  enum class Ending { kHook, kAdapter, kWindow };
  // Takes the hook out where it is on top, else leaves it passing messages through.
  void Remove(HWND hwnd, Ending ending);

  std::map<WindowHandle, std::unique_ptr<Hook>> hooks_;
};

}  // namespace larkspur
