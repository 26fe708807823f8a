// The window tests: a sandbox of their own (support/sandbox.h) and one QApplication. They run
// headless (QT_QPA_PLATFORM=offscreen) unless a display is given, as under Xvfb for the tray.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/sandbox.h"

int main(int argc, char** argv) {
  Q_INIT_RESOURCE(icons);  // the window's pictures, in the Qt face's static library
  larkspur::testing::EnterSandbox();
  // Headless unless the caller chose a platform, as the tray test under Xvfb does.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  larkspur::testing::LeaveSandbox();
  return result;
}
