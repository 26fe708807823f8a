#pragma once
// The Windows program with its window: the user's stores, the main window and its behaviour,
// the tray icon and the desktop, put together in the order they need each other.
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

#include "app/cleanup_engine.h"
#include "app/form1.h"
#include "app/main_window.h"
#include "platform/autostart.h"
#include "platform/native_stores.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_notify_area.h"
#include "tray/sys_tray.h"
#include "ui/win32/win32_main_window.h"

namespace larkspur {

class Win32Program {
 public:
  // `program_folder` is where HAND-M.CUR is looked for, `run_log` the log "View Save Log"
  // opens. The tests give a desktop of their own.
  Win32Program(NativeStores stores, HINSTANCE instance, const std::string& program_folder,
               std::unique_ptr<Win32Desktop> desktop = std::make_unique<Win32Desktop>(),
               const std::string& run_log = "", const WindowStart& start = {});
  ~Win32Program();
  Win32Program(const Win32Program&) = delete;
  Win32Program& operator=(const Win32Program&) = delete;

  // Start-up, then the window is shown (with --tray: left hidden in the notification area).
  void Open();
  // Handles messages until the window has closed; the exit code.
  int Run();

  Form1& form() { return form_; }
  Win32MainWindow& face() { return face_; }
  cSysTray& tray() { return tray_; }

 private:
  NativeStores stores_;
  Form1 form_;
  CleanupEngine engine_;
  Win32MainWindow face_;
  std::unique_ptr<Win32Desktop> desktop_;
  Win32NotifyArea notify_area_;
  Win32WindowSubclass subclass_;
  std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&::DestroyIcon)> tray_icon_;
  cSysTray tray_;
  std::unique_ptr<AutostartPort> autostart_;
  MainWindow behaviour_;
};

// The folder of the running program file, in UTF-8.
std::string ProgramFolder();

}  // namespace larkspur
