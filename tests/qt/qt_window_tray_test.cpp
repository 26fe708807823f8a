// The whole window under a window manager with a real notification area (tray_under_xvfb.sh):
// minimised, it hides into the tray leaving nothing on screen, and a double click on the icon,
// or a single click where the menu is set, brings it back at its place and size.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTest>

#include "app/main_window.h"
#include "platform/native_stores.h"
#include "qt/steady_desktop.h"
#include "qt/tray_host.h"
#include "ui/qt/qt_main_window.h"
#include "ui/qt/qt_notify_area.h"
#include "ui/qt/qt_tray_menu.h"

namespace larkspur {
namespace {

class QtTrayWindow : public ::testing::Test {
 protected:
  // The program's window, tray and behaviour; the tray menu only when asked.
  void Open(bool with_menu) {
    tray_.SetTrayIcon(IconPicture(notify_area_.RegisterIcon(QIcon(":/icons/tray.png"))));
    face_.Attach(behaviour_);
    if (with_menu)
      notify_area_.SetMenu(MakeTrayMenu(behaviour_, &face_));
    behaviour_.Form_Load();
    face_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face_));
  }

  // Minimises the window as its title bar's button does, then finds the icon in the tray.
  QRect MinimiseIntoTheTray() {
    place_ = face_.pos();
    size_ = face_.size();
    face_.showMinimized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !face_.isVisible(); }, 3000)) << "not hidden";
    QTest::qWait(500);  // time for a stray frame to appear
    EXPECT_FALSE(testing::WindowViewable("Larkspur")) << "a frame was left on screen";
    QSystemTrayIcon* icon = notify_area_.TrayIcon(kHandle, 0);
    if (icon == nullptr)
      return {};
    EXPECT_EQ(icon->toolTip(), "Larkspur");
    return testing::WaitUntilInTray(*icon);
  }

  void ExpectBackInPlace() {
    EXPECT_TRUE(QTest::qWaitFor([&] { return face_.isVisible(); }, 5000)) << "not brought back";
    EXPECT_TRUE(QTest::qWaitFor([&] { return testing::WindowViewable("Larkspur"); }, 3000));
    EXPECT_FALSE(face_.isMinimized());
    EXPECT_EQ(face_.size(), size_);
    EXPECT_TRUE(QTest::qWaitFor([&] { return face_.pos() == place_; }, 2000))
        << "moved from " << place_.x() << "," << place_.y() << " to " << face_.pos().x() << ","
        << face_.pos().y();
  }

  static inline const WindowHandle kHandle = 1;
  NativeStores stores_ = MakeNativeStores(UserFoldersFromEnvironment());
  Form1 form_;
  CleanupEngine engine_{form_, stores_};
  QtMainWindow face_{form_};
  testing::SteadyDesktop desktop_;
  QtNotifyArea notify_area_;
  cSysTray tray_{TraySite{notify_area_, notify_area_, kHandle, true}};
  MainWindow behaviour_{form_, engine_,
                        MainWindowPorts{face_, *stores_.settings, desktop_, tray_, ".", ""}};
  QPoint place_;
  QSize size_;
};

TEST_F(QtTrayWindow, ADoubleClickOnTheIconBringsTheHiddenWindowBack) {
  LARKSPUR_REQUIRE_TRAY_HOST();
  Open(false);  // no menu: only the double click can show the window
  const QRect icon = MinimiseIntoTheTray();
  ASSERT_TRUE(icon.isValid()) << "the icon never appeared in the tray";
  QProcess xdotool;
  testing::StartClicks(xdotool, icon.center(), 2);
  ExpectBackInPlace();
  xdotool.waitForFinished(3000);

  face_.close();  // the close request removes the icon
  EXPECT_EQ(notify_area_.TrayIcon(kHandle, 0), nullptr);
}

TEST_F(QtTrayWindow, ASingleClickBringsItBackAndARightClickOpensTheMenu) {
  LARKSPUR_REQUIRE_TRAY_HOST();
  Open(true);
  QRect icon = MinimiseIntoTheTray();
  ASSERT_TRUE(icon.isValid()) << "the icon never appeared in the tray";
  QProcess xdotool;
  testing::StartClicks(xdotool, icon.center(), 1);
  ExpectBackInPlace();
  xdotool.waitForFinished(3000);

  // Hidden twice over: the second time must be as clean as the first.
  icon = MinimiseIntoTheTray();
  ASSERT_TRUE(icon.isValid());
  QMenu* menu = notify_area_.TrayIcon(kHandle, 0)->contextMenu();
  ASSERT_NE(menu, nullptr);
  testing::StartClicks(xdotool, icon.center(), 1, 3);
  EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }, 5000)) << "no menu";
  xdotool.waitForFinished(3000);
  EXPECT_FALSE(face_.isVisible()) << "a right click only opens the menu";
  menu->actions().front()->trigger();  // "Show Larkspur"
  menu->hide();
  ExpectBackInPlace();
  face_.close();
}

}  // namespace
}  // namespace larkspur
