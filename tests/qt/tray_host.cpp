#include "qt/tray_host.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTest>

#include "ui/qt/qt_notify_area.h"

namespace larkspur::testing {

namespace {

QString Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(5000);
  return QString::fromLocal8Bit(process.readAllStandardOutput());
}

}  // namespace

bool TrayHostPresent() {
  if (qEnvironmentVariableIsEmpty("DISPLAY") || QGuiApplication::platformName() != "xcb")
    return false;
  return QTest::qWaitFor([] { return QtNotifyArea::Available(); }, 5000);
}

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

QRect WaitUntilInTray(const QSystemTrayIcon& icon) {
  QRect place;
  const bool embedded = QTest::qWaitFor(
      [&] {
        place = icon.geometry();
        return place.isValid() && place.y() < 32 && IconWindowOnScreen(place);
      },
      5000);
  return embedded ? place : QRect();
}

bool WindowViewable(const QString& title) {
  for (const QString& line : Run("xwininfo", {"-root", "-tree"}).split('\n')) {
    if (line.contains("\"" + title + "\": (")) {
      const QString id = line.trimmed().section(' ', 0, 0);
      if (Run("xwininfo", {"-id", id}).contains("Map State: IsViewable"))
        return true;
    }
  }
  return false;
}

void StartClicks(QProcess& xdotool, QPoint where, int count, int button) {
  // No --sync: it waits for ever when the pointer is already there.
  xdotool.start("xdotool", {"mousemove", QString::number(where.x()), QString::number(where.y()),
                            "sleep", "0.2", "click", "--repeat", QString::number(count), "--delay",
                            "100", QString::number(button)});
}

}  // namespace larkspur::testing
