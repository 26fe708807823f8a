// The tray control over QSystemTrayIcon. The routing tests run anywhere; the one under a real
// tray host needs an X display with one (tray_under_xvfb.sh brings Xvfb and trayer).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QtCore/qtestsupport_core.h>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcess>
#include <memory>
#include <string>
#include <vector>

#include "qt/tray_host.h"
#include "tray/sys_tray.h"
#include "ui/qt/qt_notify_area.h"

namespace larkspur {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr WindowHandle kWindow = 7;

QIcon RedSquare() {
  QPixmap pixmap(22, 22);
  pixmap.fill(Qt::red);
  return QIcon(pixmap);
}

class QtTrayTest : public ::testing::Test {
 protected:
  QtTrayTest() {
    tray_.MouseMove = [this](std::int32_t id) { events_.push_back("move " + std::to_string(id)); };
    tray_.MouseDown = [this](std::int16_t button, std::int32_t id) {
      events_.push_back("down " + std::to_string(button) + " " + std::to_string(id));
    };
    tray_.MouseUp = [this](std::int16_t button, std::int32_t id) {
      events_.push_back("up " + std::to_string(button) + " " + std::to_string(id));
    };
    tray_.MouseDblClick = [this](std::int16_t button, std::int32_t id) {
      events_.push_back("dblclick " + std::to_string(button) + " " + std::to_string(id));
    };
  }

  QSystemTrayIcon* Shown() const { return area_.TrayIcon(kWindow, tray_.TrayId()); }

  QtNotifyArea area_;
  cSysTray tray_{TraySite{area_, area_, kWindow, true}};
  std::vector<std::string> events_;
};

TEST_F(QtTrayTest, TheControlsIconAndTipBecomeTheQtIcons) {
  const IconHandle red = area_.RegisterIcon(RedSquare());
  tray_.SetTrayTip("Larkspur");
  tray_.SetInTray(true);
  ASSERT_NE(Shown(), nullptr);
  EXPECT_FALSE(Shown()->isVisible()) << "nothing to show before the control has an icon";
  EXPECT_EQ(Shown()->toolTip(), "Larkspur");

  tray_.SetTrayIcon(IconPicture(red));
  EXPECT_TRUE(Shown()->isVisible());
  EXPECT_FALSE(Shown()->icon().isNull());
  tray_.SetTrayTip("Grüße " + std::string(70, 'x'));
  EXPECT_EQ(Shown()->toolTip(), QString::fromUtf8("Grüße ") + QString(55, 'x'));

  tray_.SetTrayIcon(IconPicture(9999));  // a handle the area never gave out
  EXPECT_FALSE(Shown()->isVisible());

  tray_.SetInTray(false);
  EXPECT_EQ(Shown(), nullptr);
}

TEST_F(QtTrayTest, ActivationsArriveAsTheShellsMouseMessages) {
  tray_.SetTrayIcon(IconPicture(area_.RegisterIcon(RedSquare())));
  tray_.SetInTray(true);
  QSystemTrayIcon* icon = Shown();
  ASSERT_NE(icon, nullptr);

  emit icon->activated(QSystemTrayIcon::Trigger);
  emit icon->activated(QSystemTrayIcon::DoubleClick);
  emit icon->activated(QSystemTrayIcon::Context);
  emit icon->activated(QSystemTrayIcon::MiddleClick);
  emit icon->activated(QSystemTrayIcon::Unknown);
  EXPECT_THAT(events_,
              ElementsAre("down 1 0", "up 1 0", "dblclick 1 0", "up 1 0", "down 2 0", "up 2 0"));
}

TEST_F(QtTrayTest, AHandlerThatRemovesTheIconEndsTheActivation) {
  tray_.SetTrayIcon(IconPicture(area_.RegisterIcon(RedSquare())));
  tray_.SetInTray(true);
  QSystemTrayIcon* icon = Shown();
  tray_.MouseDown = [this](std::int16_t, std::int32_t) {
    events_.push_back("down, hiding");
    tray_.SetInTray(false);
  };

  emit icon->activated(QSystemTrayIcon::Trigger);
  EXPECT_THAT(events_, ElementsAre("down, hiding")) << "no up once the icon is gone";
  EXPECT_EQ(Shown(), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(QtTrayRecords, ActLikeTheShellForUnknownAndRepeatedIcons) {
  QtNotifyArea area;
  NotifyIconDataA data{};
  data.cbSize = kNotifyIconDataV1Size;
  data.hWnd = kWindow;
  EXPECT_FALSE(area.ShellNotifyIcon(kNimModify, data));
  EXPECT_FALSE(area.ShellNotifyIcon(kNimDelete, data));
  area.ShellNotifyIcon(kNimAdd, data);
  EXPECT_FALSE(area.ShellNotifyIcon(kNimAdd, data)) << "the same window and id twice";
  data.uID = 1;
  area.ShellNotifyIcon(kNimAdd, data);
  EXPECT_NE(area.TrayIcon(kWindow, 0), area.TrayIcon(kWindow, 1));
  EXPECT_TRUE(area.ShellNotifyIcon(kNimDelete, data));
  EXPECT_NE(area.TrayIcon(kWindow, 0), nullptr);
  EXPECT_EQ(area.TrayIcon(kWindow, 1), nullptr);
}

// Under a real tray host: the icon is embedded in trayer, xdotool clicks it twice, and removing
// it takes its window out of the tray.

TEST_F(QtTrayTest, UnderATrayHostADoubleClickReachesTheControlAndDeleteRemovesTheIcon) {
  LARKSPUR_REQUIRE_TRAY_HOST();

  tray_.SetTrayIcon(IconPicture(area_.RegisterIcon(RedSquare())));
  tray_.SetTrayTip("Larkspur");
  tray_.SetInTray(true);
  QSystemTrayIcon* icon = Shown();
  ASSERT_NE(icon, nullptr);
  const QRect place = testing::WaitUntilInTray(*icon);
  ASSERT_TRUE(place.isValid()) << "the icon never appeared in the tray";

  QProcess xdotool;
  testing::StartClicks(xdotool, place.center(), 2);
  const bool clicked = QTest::qWaitFor(
      [&] { return events_.size() >= 4 && xdotool.state() == QProcess::NotRunning; }, 5000);
  EXPECT_TRUE(clicked) << "clicked at " << place.center().x() << "," << place.center().y()
                       << ", events: " << ::testing::PrintToString(events_);
  EXPECT_THAT(events_, ElementsAre("down 1 0", "up 1 0", "dblclick 1 0", "up 1 0"));

  tray_.SetInTray(false);
  EXPECT_EQ(Shown(), nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !testing::IconWindowOnScreen(place); }, 5000))
      << "the icon's window stayed in the tray";
}

}  // namespace
}  // namespace larkspur
