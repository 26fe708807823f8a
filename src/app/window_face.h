#pragma once
// The real window as the window's behaviour sees it. A face (Qt, Win32) shows Form1's controls
// as they are whenever it is asked to, and forwards every event to MainWindow.
#include <string>

namespace larkspur {

// Places and sizes in twips: 1/1440 inch, 15 to a pixel at 96 dots per inch.
struct TwipsRect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
};

enum class WindowState { kNormal, kMinimized };

class WindowFace {
 public:
  virtual ~WindowFace() = default;

  // Shows every control, the title and the pointer as Form1 holds them, and follows Timer1.
  virtual void Mirror() = 0;
  // Redraws the status line and the progress bar at once, without handling any input: the
  // window is busy with a run.
  virtual void RepaintNow() = 0;

  // The window's outer place and size, and the primary screen's size.
  virtual TwipsRect OuterRect() = 0;
  virtual void MoveTo(double left, double top) = 0;
  virtual double ScreenWidth() = 0;
  virtual double ScreenHeight() = 0;

  virtual WindowState State() = 0;
  virtual void SetState(WindowState state) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;

  // Whether the desktop shows a notification area that could bring a hidden window back.
  virtual bool HasNotificationArea() = 0;

  // Loads a cursor file as the custom pointer; false when it cannot be read.
  virtual bool LoadCustomPointer(const std::string& path) = 0;
  // Shows the run log in a window of the program's own and answers true; false where the
  // system's text editor is to show it.
  virtual bool ShowRunLog(const std::string& /*path*/) { return false; }
  // Ends the program: every window closes and no further handler runs.
  virtual void Quit() = 0;
};

}  // namespace larkspur
