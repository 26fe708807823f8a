// The whole window with a real notification area (tray_under_xvfb.sh): minimised, it hides into
// the tray, and a double click on the icon brings it back at its normal size.
#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "platform/native_stores.h"
#include "qt/steady_desktop.h"
#include "qt/tray_host.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_notify_area.h"

namespace larkspur {
namespace {

TEST(QtTrayWindow, ADoubleClickOnTheIconBringsTheHiddenWindowBack) {
  LARKSPUR_REQUIRE_TRAY_HOST();

  NativeStores stores = MakeNativeStores(UserFoldersFromEnvironment());
  Form1 form;
  CleanupEngine engine(form, stores);
  QtMainWindow face(form);
  QtDesktop desktop;
  QtNotifyArea notify_area;
  const WindowHandle handle = reinterpret_cast<WindowHandle>(&face);
  cSysTray tray(TraySite{notify_area, notify_area, handle, true});
  tray.SetTrayIcon(IconPicture(notify_area.RegisterIcon(QIcon(":/icons/tray.png"))));
  MainWindow behaviour(form, engine, MainWindowPorts{face, *stores.settings, desktop, tray, "."});
  face.Attach(behaviour);
  behaviour.Form_Load();
  face.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&face));
  const QSize normal = face.size();

  face.showMinimized();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !face.isVisible(); }, 3000)) << "not hidden";
  EXPECT_FALSE(face.isMinimized()) << "set back to normal while hidden";

  QSystemTrayIcon* icon = notify_area.TrayIcon(handle, 0);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->toolTip(), "Larkspur");
  const QRect place = testing::WaitUntilInTray(*icon);
  ASSERT_TRUE(place.isValid()) << "the icon never appeared in the tray";
  QProcess xdotool;
  testing::StartDoubleClick(xdotool, place.center());
  EXPECT_TRUE(QTest::qWaitFor([&] { return face.isVisible(); }, 5000)) << "not brought back";
  EXPECT_EQ(face.size(), normal);
  xdotool.waitForFinished(3000);

  face.close();  // the close request removes the icon
  EXPECT_EQ(notify_area.TrayIcon(handle, 0), nullptr);
}

}  // namespace
}  // namespace larkspur
