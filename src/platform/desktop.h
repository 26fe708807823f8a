#pragma once
// What the main window's behaviour needs from the desktop session besides the window itself:
// its event loop, clocks, random numbers and starting other programs.
#include <string>

namespace larkspur {

enum class ShowStyle { kNormal = 1, kMinimized = 2 };

// The programs that show a text file and a web page (desktop_programs_<system>.cpp).
extern const char kTextViewer[];
extern const char kWebViewer[];

class DesktopPort {
 public:
  virtual ~DesktopPort() = default;

  // Handles the window events that are waiting, then returns.
  virtual void ProcessPendingEvents() = 0;
  // Sleeps until an event arrives or `seconds` have passed, handling what arrives.
  virtual void WaitForEvents(double seconds) = 0;

  // Seconds from an arbitrary start, never going back.
  virtual double MonotonicSeconds() = 0;
  virtual double SecondsSinceMidnight() = 0;

  // Seeds the generator and draws a fraction from 0 up to, not including, 1.
  virtual void Randomize(double seed) = 0;
  virtual double Rnd() = 0;

  // Starts `program` (kTextViewer, kWebViewer) with one argument, without waiting for it: found
  // through the search path, on Windows by its full path. False when it cannot be started.
  virtual bool StartProcess(const std::string& program, const std::string& argument,
                            ShowStyle show) = 0;
};

}  // namespace larkspur
