#include "ui/run_window.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QSocketNotifier>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/cleanup_engine.h"
#include "app/main_window.h"
#include "platform/autostart.h"
#include "platform/native_stores.h"
#include "platform/run_log_file.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_notify_area.h"
#include "ui/qt/qt_tray_menu.h"

// The pictures live in a static library; the program pulls them in by name.
static void InitPictures() {
  Q_INIT_RESOURCE(icons);
}

namespace larkspur {

namespace {

int g_close_request[2] = {-1, -1};

// The end of the session (SIGTERM, SIGHUP, SIGINT) becomes a close request of the window, handled
// in the event loop like a click on its close box.
void OnTerminate(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(g_close_request[1], &byte, 1);
}

void CloseOnTermination(QWidget& window) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_close_request) != 0)
    return;
  auto* notifier = new QSocketNotifier(g_close_request[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte;
    [[maybe_unused]] const ssize_t read = ::read(g_close_request[0], &byte, 1);
    window.close();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminate;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGHUP, SIGINT})
    ::sigaction(signal, &action, nullptr);
}

// The title bar shows no icon: a picture of nothing but transparent pixels.
// Qt ends the process when it finds no display; say so plainly instead. A platform named in
// QT_QPA_PLATFORM (offscreen, for instance) needs none.
bool HasDisplay() {
  for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0')
      return true;
  }
  return false;
}

QIcon EmptyIcon() {
  QPixmap nothing(32, 32);
  nothing.fill(Qt::transparent);
  return QIcon(nothing);
}

}  // namespace

int RunWindow(int argc, char** argv, const UserFolders& folders, const WindowStart& start) {
  if (!HasDisplay()) {
    std::cerr << "larkspur: no display to open the window on (DISPLAY is not set); use --clean, "
                 "see --help\n";
    return 1;
  }
  InitPictures();
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);  // closing goes through Form_Unload
  QGuiApplication::setDesktopFileName("larkspur");

  NativeStores stores = MakeNativeStores(folders);
  Form1 form;
  CleanupEngine engine(form, stores);
  QtMainWindow face(form);
  face.setWindowIcon(EmptyIcon());
  QtDesktop desktop;
  QtNotifyArea notify_area;
  const PictureRef tray_picture = IconPicture(notify_area.RegisterIcon(QIcon(":/icons/tray.png")));
  cSysTray tray(TraySite{notify_area, notify_area, reinterpret_cast<WindowHandle>(&face), true},
                tray_picture);
  tray.InitNew();

  const std::unique_ptr<AutostartPort> autostart = MakeAutostart(folders);
  MainWindow behaviour(
      form, engine,
      MainWindowPorts{face, *stores.settings, desktop, tray,
                      QCoreApplication::applicationDirPath().toStdString(), RunLogPath(folders),
                      [&engine] { return engine.ChromiumBrowsersFound(); }, autostart.get(),
                      start});
  face.Attach(behaviour);
  notify_area.SetMenu(MakeTrayMenu(behaviour, &face));
  CloseOnTermination(face);
  behaviour.Form_Load();
  if (!start.notice.empty()) {
    form.Label5.SetCaption(start.notice);
    face.Mirror();
  }
  switch (behaviour.ViewAtStart()) {
    case StartView::kShown:
      face.show();
      break;
    case StartView::kMinimized:
      face.showMinimized();
      break;
    case StartView::kHidden:
      break;
  }
  return QApplication::exec();
}

}  // namespace larkspur
