#pragma once
#include <windows.h>

#include <random>
#include <string>
#include <string_view>

#include "platform/desktop.h"

namespace larkspur {

// The desktop session on Windows: the thread's message queue, the clocks, CreateProcessW.
class Win32Desktop : public DesktopPort {
 public:
  // The main window, so that Tab and the dialog keys work in it; null for none.
  void SetDialogWindow(HWND dialog) { dialog_ = dialog; }

  void ProcessPendingEvents() override;
  void WaitForEvents(double seconds) override;
  double MonotonicSeconds() override;
  double SecondsSinceMidnight() override;
  void Randomize(double seed) override;
  double Rnd() override;
  // Only the programs ProgramPath knows, by their full paths.
  bool StartProcess(const std::string& program, const std::string& argument,
                    ShowStyle show) override;

 private:
  // Past a quit, what waits behind it is handled too; the quit is posted again either way.
  void Pump(bool past_quit);
  void Dispatch(MSG& message);

  HWND dialog_ = nullptr;
  std::mt19937 random_;
};

// Where `program` (kTextViewer, kWebViewer) lives; empty for any other name.
std::wstring ProgramPath(std::string_view program);

// One argument quoted so that the C runtime's argv parsing (CommandLineToArgvW) gives it back.
std::wstring QuotedArgument(std::wstring_view argument);
// `program "argument"`, the program quoted only where it holds a blank.
std::wstring CommandLineFor(std::wstring_view program, std::wstring_view argument);

}  // namespace larkspur
