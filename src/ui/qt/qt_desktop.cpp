#include "ui/qt/qt_desktop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTime>
#include <QTimer>
#include <chrono>
#include <cmath>

namespace larkspur {

void QtDesktop::ProcessPendingEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtDesktop::WaitForEvents(double seconds) {
  // A timer of our own ends the wait when nothing else comes.
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(std::max(1, static_cast<int>(std::ceil(seconds * 1000))));
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

double QtDesktop::MonotonicSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double QtDesktop::SecondsSinceMidnight() {
  return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

void QtDesktop::Randomize(double seed) {
  random_.seed(static_cast<std::mt19937::result_type>(seed * 1000));
}

double QtDesktop::Rnd() {
  return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
}

bool QtDesktop::StartProcess(const std::string& program, const std::string& argument, ShowStyle) {
  return QProcess::startDetached(QString::fromStdString(program),
                                 {QString::fromUtf8(argument.c_str())});
}

}  // namespace larkspur
