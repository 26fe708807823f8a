#pragma once
// A real notification area for the Qt tray tests: trayer on Xvfb (tray_under_xvfb.sh), the icon
// found in its strip and clicked with xdotool.
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSystemTrayIcon>

namespace larkspur::testing {

// Waits a little for the tray host, which may still be starting.
bool TrayHostPresent();

// Whether a window of this program is mapped at `place` on the screen, as the X server sees it.
bool IconWindowOnScreen(const QRect& place);

// The icon's place once it is embedded in the tray's strip at the top of the screen; an invalid
// rectangle when it never gets there.
QRect WaitUntilInTray(const QSystemTrayIcon& icon);

// Whether a top-level window with this title is mapped and viewable, as the X server sees it.
bool WindowViewable(const QString& title);

// Starts xdotool clicking `count` times with `button` at `where`, without waiting for it.
void StartClicks(QProcess& xdotool, QPoint where, int count, int button = 1);

}  // namespace larkspur::testing

// Skips a test that needs a tray host where there is none, unless the run demands one.
#define LARKSPUR_REQUIRE_TRAY_HOST()                                                      \
  do {                                                                                    \
    if (!::larkspur::testing::TrayHostPresent()) {                                        \
      if (qEnvironmentVariableIsSet("LARKSPUR_REQUIRE_TRAY"))                             \
        FAIL() << "no notification area on display " << qgetenv("DISPLAY").constData();   \
      GTEST_SKIP() << "needs an X display with a notification area (tray_under_xvfb.sh)"; \
    }                                                                                     \
  } while (false)
