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

QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(5000);
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// Whether a window of this program is mapped at the icon's place on the screen, as the X server
// sees it.
bool IconWindowOnScreen(const QRect& place) {
  const QString name = QCoreApplication::applicationName();
  const QString size = QString("%1x%2+").arg(place.width()).arg(place.height());
  const QString at = QString("  +%1+%2").arg(place.x()).arg(place.y());
  for (const QString& line : Run("xwininfo", {"-root", "-tree"}).split('\n')) {
    if (line.contains("(\"" + name + "\"") && line.contains(size) && line.endsWith(at)) {
      const QString id = line.trimmed().section(' ', 0, 0);
      return Run("xwininfo", {"-id", id}).contains("Map State: IsViewable");
    }
  }
  return false;
}

bool TrayHostPresent() {
  if (qEnvironmentVariableIsEmpty("DISPLAY") || QGuiApplication::platformName() != "xcb")
    return false;
  // The tray host may still be starting.
  return QTest::qWaitFor([] { return QtNotifyArea::Available(); }, 5000);
}

TEST_F(QtTrayTest, UnderATrayHostADoubleClickReachesTheControlAndDeleteRemovesTheIcon) {
  if (!TrayHostPresent()) {
    if (qEnvironmentVariableIsSet("LARKSPUR_REQUIRE_TRAY"))
      FAIL() << "no notification area on display " << qgetenv("DISPLAY").constData();
    GTEST_SKIP() << "needs an X display with a notification area (tray_under_xvfb.sh)";
  }

  tray_.SetTrayIcon(IconPicture(area_.RegisterIcon(RedSquare())));
  tray_.SetTrayTip("Larkspur");
  tray_.SetInTray(true);
  QSystemTrayIcon* icon = Shown();
  ASSERT_NE(icon, nullptr);
  // Embedded once it sits in the tray's strip at the top of the screen.
  QRect place;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        place = icon->geometry();
        return place.isValid() && place.y() < 32 && IconWindowOnScreen(place);
      },
      5000))
      << "the icon never appeared in the tray";

  QProcess xdotool;
  // No --sync: it waits for ever when the pointer is already there.
  xdotool.start("xdotool", {"mousemove", QString::number(place.center().x()),
                            QString::number(place.center().y()), "sleep", "0.2", "click",
                            "--repeat", "2", "--delay", "100", "1"});
  const bool clicked = QTest::qWaitFor(
      [&] { return events_.size() >= 4 && xdotool.state() == QProcess::NotRunning; }, 5000);
  EXPECT_TRUE(clicked) << "clicked at " << place.center().x() << "," << place.center().y()
                       << ", events: " << ::testing::PrintToString(events_);
  EXPECT_THAT(events_, ElementsAre("down 1 0", "up 1 0", "dblclick 1 0", "up 1 0"));

  tray_.SetInTray(false);
  EXPECT_EQ(Shown(), nullptr);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !IconWindowOnScreen(place); }, 5000))
      << "the icon's window stayed in the tray";
}

}  // namespace
}  // namespace larkspur
