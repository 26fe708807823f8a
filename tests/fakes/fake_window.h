#pragma once
// The main window's surroundings for tests of its behaviour: a face that records what it was
// asked, a desktop with a clock that only moves when waited on, settings in memory, and a
// notification area that keeps the records it was given.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/window_face.h"
#include "platform/desktop.h"
#include "platform/notify_area.h"
#include "platform/settings.h"

namespace larkspur::testing {

class FakeFace final : public WindowFace {
 public:
  explicit FakeFace(const Form1& form) : form_(form) {}

  void Mirror() override {
    ++mirrors;
    pointers_seen.push_back(form_.MousePointer);
    timer_seen.push_back(form_.Timer1.Ticking());
  }
  void RepaintNow() override { painted_status.push_back(form_.Label5.Caption()); }
  TwipsRect OuterRect() override { return outer; }
  void MoveTo(double left, double top) override {
    outer.left = left;
    outer.top = top;
  }
  double ScreenWidth() override { return screen_width; }
  double ScreenHeight() override { return screen_height; }
  WindowState State() override { return state; }
  void SetState(WindowState new_state) override { state = new_state; }
  void Show() override { visible = true; }
  void Hide() override { visible = false; }
  bool HasNotificationArea() override { return notification_area; }
  bool LoadCustomPointer(const std::string& path) override {
    loaded_pointer = path;
    return true;
  }
  void Quit() override { quit = true; }

  TwipsRect outer{0, 0, 400, 300};
  double screen_width = 960;
  double screen_height = 720;
  WindowState state = WindowState::kNormal;
  bool visible = true;
  bool notification_area = true;
  bool quit = false;
  int mirrors = 0;
  std::string loaded_pointer;
  std::vector<Pointer> pointers_seen;
  std::vector<bool> timer_seen;
  std::vector<std::string> painted_status;

 private:
  const Form1& form_;
};

class FakeDesktop final : public DesktopPort {
 public:
  void ProcessPendingEvents() override {
    ++pending_passes;
    if (on_events)
      on_events();
  }
  void WaitForEvents(double seconds) override {
    ++waits;
    now += seconds < wait_step ? seconds : wait_step;
    if (on_events)
      on_events();
  }
  double MonotonicSeconds() override { return now; }
  double SecondsSinceMidnight() override { return since_midnight; }
  void Randomize(double seed) override { seeds.push_back(seed); }
  double Rnd() override { return draw; }
  bool StartProcess(const std::string& program, const std::string& argument,
                    ShowStyle show) override {
    started.push_back({program, argument, show});
    return can_start;
  }

  struct Started {
    std::string program;
    std::string argument;
    ShowStyle show;
  };
  double now = 1000;
  double wait_step = 0.25;  // how far one wait moves the clock
  double since_midnight = 86399.5;
  double draw = 0.5;  // Rnd's answer: 0.5 draws 51, no invitation
  bool can_start = true;
  int pending_passes = 0;
  int waits = 0;
  std::vector<double> seeds;
  std::vector<Started> started;
  std::function<void()> on_events;  // what "the user" does while events are handled
};

class FakeSettings final : public SettingsPort {
 public:
  std::string GetSetting(const std::string& application, const std::string& section,
                         const std::string& key, const std::string& default_value) override {
    const auto found = values.find(application + "/" + section + "/" + key);
    return found == values.end() ? default_value : found->second;
  }
  bool SaveSetting(const std::string& application, const std::string& section,
                   const std::string& key, const std::string& value) override {
    if (!writable)
      return false;
    values[application + "/" + section + "/" + key] = value;
    return true;
  }

  std::map<std::string, std::string> values;  // "Quillmark/Larkspur/OftenIndex" -> "1"
  bool writable = true;
};

class FakeNotifyArea final : public NotifyAreaPort, public WindowSubclassPort {
 public:
  bool ShellNotifyIcon(std::uint32_t message, const NotifyIconDataA& data) override {
    calls.push_back({message, data});
    return true;
  }
  void Subclass(WindowHandle, SubclassProcedure procedure) override { hook = procedure; }
  void Unsubclass(WindowHandle) override { hook = nullptr; }

  struct Call {
    std::uint32_t message;
    NotifyIconDataA data;
  };
  std::vector<Call> calls;
  SubclassProcedure hook;
};

}  // namespace larkspur::testing
