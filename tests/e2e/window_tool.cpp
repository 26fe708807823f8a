// Drives a running larkspur.exe from outside, as a user's clicks would, for the end-to-end test
// and the screenshot script:
//   window_tool wait                 waits up to 60 s for the window; prints its place and size
//   window_tool click NAME           clicks a control and returns when its handler is done
//   window_tool text NAME            prints a control's text
//   window_tool checked NAME         prints 1 when a tick box or picture button is ticked, else 0
//   window_tool visible              prints 1 when the window shows, else 0
//   window_tool minimize | close     asks the window to minimise or to close
//   window_tool tray MESSAGE         sends the tray's callback with that mouse message number
//   window_tool notepad              waits up to 60 s for a Notepad window, prints the full path
//                                    of its program and, on a line of its own, the window's
//                                    title (which names the file open), and closes it
//   window_tool message-window CLASS TITLE   a hidden message-only window, as a browser keeps
//                                    one; prints "ready" and lives 120 s
// NAME is a control of the layout table. Exit 1 when the window or the control is missing.
// Copied as notepad.exe it stands in for a planted program: it only leaves the file planted-ran
// beside itself.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "ui/win32/win32_main_window.h"

namespace {

HWND FindMainWindow() {
  return ::FindWindowA("Larkspur.Form1", nullptr);
}

std::filesystem::path OwnPath() {
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

// The full path of the program behind the first Notepad window within 60 s, and its title once
// Notepad has named the file it opened; the window is then closed.
int Notepad() {
  for (int tries = 0; tries < 600; ++tries, ::Sleep(100)) {
    const HWND notepad = ::FindWindowA("Notepad", nullptr);
    DWORD id = 0;
    if (notepad == nullptr || ::GetWindowThreadProcessId(notepad, &id) == 0)
      continue;
    char title[512] = {};
    ::GetWindowTextA(notepad, title, sizeof title);
    // The window is titled before the file is read: empty, "Notepad" or "Untitled" until then.
    const bool unnamed = title[0] == '\0' || std::strcmp(title, "Notepad") == 0 ||
                         std::strncmp(title, "Untitled", 8) == 0;
    if (unnamed && tries < 599)
      continue;
    const HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    char path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool named = process != nullptr && ::QueryFullProcessImageNameA(process, 0, path, &size);
    if (process != nullptr)
      ::CloseHandle(process);
    if (!named)
      return 1;
    std::printf("%s\n%s\n", path, title);
    ::PostMessageA(notepad, WM_CLOSE, 0, 0);
    return 0;
  }
  return 1;
}

int MessageWindow(const char* class_name, const char* title) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = ::DefWindowProcA;
  window_class.hInstance = ::GetModuleHandleA(nullptr);
  window_class.lpszClassName = class_name;
  if (!::RegisterClassA(&window_class) ||
      !::CreateWindowExA(0, class_name, title, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         window_class.hInstance, nullptr))
    return 1;
  std::printf("ready\n");
  std::fflush(stdout);
  ::Sleep(120000);  // finding the window sends it nothing: no messages to handle
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (_wcsicmp(OwnPath().filename().c_str(), L"notepad.exe") == 0) {
    std::ofstream(OwnPath().parent_path() / "planted-ran") << "started in place of notepad\n";
    return 0;
  }
  if (argc < 2)
    return 2;
  const std::string command = argv[1];
  if (command == "notepad")
    return Notepad();
  if (command == "message-window" && argc == 4)
    return MessageWindow(argv[2], argv[3]);
  if (command == "wait") {
    for (int tries = 0; tries < 600; ++tries) {
      const HWND window = FindMainWindow();
      if (window != nullptr && ::IsWindowVisible(window)) {
        RECT frame{};
        ::GetWindowRect(window, &frame);
        std::printf("%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                    frame.bottom - frame.top);
        return 0;
      }
      ::Sleep(100);
    }
    return 1;
  }

  const HWND window = FindMainWindow();
  if (window == nullptr)
    return 1;
  if (command == "visible") {
    std::printf("%d\n", ::IsWindowVisible(window) ? 1 : 0);
  } else if (command == "minimize") {
    ::PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (command == "close") {
    ::PostMessageA(window, WM_CLOSE, 0, 0);
  } else if (command == "tray" && argc == 3) {
    ::SendMessageA(window, 1125, 0, std::atoi(argv[2]));
  } else if (argc == 3) {
    const HWND control = ::GetDlgItem(window, larkspur::ControlId(argv[2]));
    if (control == nullptr)
      return 1;
    if (command == "click") {
      ::SendMessageA(control, BM_CLICK, 0, 0);
    } else if (command == "text") {
      char text[1024] = {};
      ::GetWindowTextA(control, text, sizeof text);
      std::printf("%s\n", text);
    } else if (command == "checked") {
      std::printf("%d\n", ::SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
    } else {
      return 2;
    }
  } else {
    return 2;
  }
  return 0;
}
