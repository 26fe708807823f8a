#include "ui/win32/win32_program.h"

#include <commctrl.h>

#include <filesystem>

#include "platform/path_text.h"
#include "ui/win32/resource_ids.h"

namespace larkspur {

namespace {

HICON TrayIcon(HINSTANCE instance) {
  return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON,
                                         ::GetSystemMetrics(SM_CXSMICON),
                                         ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

HINSTANCE WithCommonControls(HINSTANCE instance) {
  INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX),
                               ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&classes);
  return instance;
}

}  // namespace

Win32Program::Win32Program(NativeStores stores, HINSTANCE instance,
                           const std::string& program_folder, std::unique_ptr<Win32Desktop> desktop,
                           const std::string& run_log, const WindowStart& start)
    : stores_(std::move(stores)),
      engine_(form_, stores_),
      face_(form_, WithCommonControls(instance)),
      desktop_(std::move(desktop)),
      tray_icon_(TrayIcon(instance), &::DestroyIcon),
      tray_(TraySite{notify_area_, subclass_, reinterpret_cast<WindowHandle>(face_.Handle()), true},
            IconPicture(reinterpret_cast<IconHandle>(tray_icon_.get()))),
      autostart_(MakeAutostart({})),
      behaviour_(form_, engine_,
                 MainWindowPorts{face_, *stores_.settings, *desktop_, tray_, program_folder,
                                 run_log, [this] { return engine_.ChromiumBrowsersFound(); },
                                 autostart_.get(), start}) {
  tray_.InitNew();
  face_.Attach(behaviour_);
  face_.OnTaskbarCreated([this] { notify_area_.AddAgain(); });
  desktop_->SetDialogWindow(face_.Handle());
}

// The tray icon and its hook go while the window is still there; then no event reaches the
// behaviour while the window is destroyed.
Win32Program::~Win32Program() {
  tray_.SetInTray(false);
  face_.Detach();
}

void Win32Program::Open() {
  behaviour_.Form_Load();
  switch (behaviour_.ViewAtStart()) {
    case StartView::kShown:
      face_.Open();
      break;
    case StartView::kMinimized:
      ::ShowWindow(face_.Handle(), SW_SHOWMINNOACTIVE);
      break;
    case StartView::kHidden:
      break;
  }
}

int Win32Program::Run() {
  MSG message{};
  BOOL got;
  while ((got = ::GetMessageW(&message, nullptr, 0, 0)) > 0) {
    const HWND window = face_.Handle();
    if (window != nullptr && ::IsDialogMessageW(window, &message))
      continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return got < 0 ? 1 : static_cast<int>(message.wParam);
}

std::string ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return "";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return Utf8FromPath(std::filesystem::path(path).parent_path());
}

}  // namespace larkspur
