#pragma once
#include <random>

#include "platform/desktop.h"

namespace larkspur {

// The desktop session through Qt: its event loop, a steady clock, and QProcess.
class QtDesktop final : public DesktopPort {
 public:
  void ProcessPendingEvents() override;
  void WaitForEvents(double seconds) override;
  double MonotonicSeconds() override;
  double SecondsSinceMidnight() override;
  void Randomize(double seed) override;
  double Rnd() override;
  bool StartProcess(const std::string& program, const std::string& argument,
                    ShowStyle show) override;

 private:
  std::mt19937 random_;
};

}  // namespace larkspur
