#pragma once
#include <string>
#include <vector>
// The Qt desktop for the window tests: Qt's event loop and clocks, but a random draw that never
// makes the home-page invitation and no program ever started. A window test must not open a
// browser.
#include <string>

#include "ui/qt/qt_desktop.h"

namespace larkspur::testing {

class SteadyDesktop final : public DesktopPort {
 public:
  void ProcessPendingEvents() override { qt_.ProcessPendingEvents(); }
  void WaitForEvents(double seconds) override { qt_.WaitForEvents(seconds); }
  double MonotonicSeconds() override { return qt_.MonotonicSeconds(); }
  double SecondsSinceMidnight() override { return qt_.SecondsSinceMidnight(); }
  void Randomize(double) override {}
  double Rnd() override { return 0.5; }  // draws 51: no invitation
  bool StartProcess(const std::string& program, const std::string& argument, ShowStyle) override {
    started.push_back(program + ' ' + argument);
    return true;  // as if started
  }

  std::vector<std::string> started;  // "program argument"

 private:
  QtDesktop qt_;
};

}  // namespace larkspur::testing
