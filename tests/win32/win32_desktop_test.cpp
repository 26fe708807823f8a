// Win32Desktop under Wine: the message pump, waiting that sleeps instead of spinning, the quit
// that must reach the main loop, and starting programs by their full paths.
#include "platform/win32/win32_desktop.h"

#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/wine.h"

namespace larkspur {
namespace {

constexpr UINT kPing = WM_APP + 7;

// A hidden window that counts the pings it gets.
class PingWindow {
 public:
  PingWindow() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &Procedure;
    window_class.hInstance = ::GetModuleHandleW(nullptr);
    window_class.lpszClassName = L"LarkspurPingWindow";
    ::RegisterClassW(&window_class);  // fails harmlessly when a test before made it
    hwnd_ = ::CreateWindowW(L"LarkspurPingWindow", L"", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr,
                            window_class.hInstance, nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~PingWindow() { ::DestroyWindow(hwnd_); }

  HWND hwnd() const { return hwnd_; }
  int pings() const { return pings_; }
  void Post() const { ::PostMessageW(hwnd_, kPing, 0, 0); }

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PingWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if ((message == kPing || message == WM_TIMER) && self != nullptr) {
      ++self->pings_;
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }

  HWND hwnd_ = nullptr;
  int pings_ = 0;
};

double ProcessCpuSeconds() {
  FILETIME created, ended, kernel, user;
  ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto seconds = [](const FILETIME& time) {
    return ((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

// Takes a waiting quit off the queue; its exit code, or -1 when none waits.
int TakeQuit() {
  MSG message;
  return ::PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)
             ? static_cast<int>(message.wParam)
             : -1;
}

class Win32DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(window_.hwnd(), nullptr);
    desktop_.ProcessPendingEvents();  // whatever making the window queued
  }
  void TearDown() override { TakeQuit(); }

  // Waits as the window's pauses do, for `seconds` in all; the wall and CPU time it took.
  struct Spent {
    double wall;
    double cpu;
    int waits;
  };
  Spent Pause(double seconds) {
    const double cpu = ProcessCpuSeconds();
    const double start = desktop_.MonotonicSeconds();
    int waits = 0;
    for (double left = seconds; left > 0; left = seconds - (desktop_.MonotonicSeconds() - start)) {
      desktop_.WaitForEvents(left);
      ++waits;
    }
    return {desktop_.MonotonicSeconds() - start, ProcessCpuSeconds() - cpu, waits};
  }

  Win32Desktop desktop_;
  PingWindow window_;
};

TEST_F(Win32DesktopTest, ProcessPendingEventsDispatchesWhatWaitsAndReturns) {
  for (int i = 0; i < 3; ++i)
    window_.Post();
  desktop_.ProcessPendingEvents();
  EXPECT_EQ(window_.pings(), 3);
  desktop_.ProcessPendingEvents();  // an empty queue: returns at once
  EXPECT_EQ(window_.pings(), 3);
}

TEST_F(Win32DesktopTest, AQuitTakenWhilePumpingStaysForTheMainLoop) {
  window_.Post();
  ::PostQuitMessage(7);
  desktop_.ProcessPendingEvents();
  desktop_.ProcessPendingEvents();
  EXPECT_EQ(window_.pings(), 1) << "posted before the quit, so handled";
  EXPECT_EQ(TakeQuit(), 7);
  EXPECT_EQ(TakeQuit(), -1) << "posted again once, not twice";
}

TEST_F(Win32DesktopTest, WaitEndsWhenAMessageArrives) {
  std::thread poster([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    window_.Post();
  });
  const double start = desktop_.MonotonicSeconds();
  desktop_.WaitForEvents(20);
  const double waited = desktop_.MonotonicSeconds() - start;
  poster.join();
  EXPECT_EQ(window_.pings(), 1);
  EXPECT_LT(waited, 10);

  // A timer's tick wakes it too.
  ::SetTimer(window_.hwnd(), 1, 50, nullptr);
  const double timer_start = desktop_.MonotonicSeconds();
  while (window_.pings() < 2 && desktop_.MonotonicSeconds() - timer_start < 10)
    desktop_.WaitForEvents(20);
  ::KillTimer(window_.hwnd(), 1);
  EXPECT_EQ(window_.pings(), 2);
  EXPECT_LT(desktop_.MonotonicSeconds() - timer_start, 10);
}

TEST_F(Win32DesktopTest, WaitSleepsTheTimeWhenNothingComes) {
  const Spent spent = Pause(0.6);
  EXPECT_GE(spent.wall, 0.6);
  EXPECT_LT(spent.waits, 20) << "woken again and again for nothing";
  // Spinning would take about the whole wall time.
  EXPECT_LT(spent.cpu, spent.wall / 3);
}

TEST_F(Win32DesktopTest, WaitWithAQuitWaitingSleepsAndKeepsTheQuit) {
  ::PostQuitMessage(3);
  window_.Post();  // posted after the quit, still handled before it
  const Spent spent = Pause(0.6);
  EXPECT_EQ(window_.pings(), 1);
  EXPECT_LT(spent.waits, 20);
  EXPECT_LT(spent.cpu, spent.wall / 3);
  EXPECT_EQ(TakeQuit(), 3);
}

TEST_F(Win32DesktopTest, DialogWindowGetsItsKeysFirst) {
  // A child edit's Tab goes to the dialog manager, which moves the focus, not into the edit.
  const HWND parent =
      ::CreateWindowExW(WS_EX_CONTROLPARENT, L"LarkspurPingWindow", L"", WS_OVERLAPPEDWINDOW, 0, 0,
                        200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  const auto child = [parent](int id) {
    return ::CreateWindowW(L"BUTTON", L"b", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, id * 30, 80, 25,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           ::GetModuleHandleW(nullptr), nullptr);
  };
  const HWND first = child(1);
  const HWND second = child(2);
  ::ShowWindow(parent, SW_SHOW);
  ::SetForegroundWindow(parent);
  ::SetFocus(first);
  desktop_.ProcessPendingEvents();
  if (::GetFocus() != first) {
    ::DestroyWindow(parent);
    GTEST_SKIP() << "the display gives the test window no focus";
  }
  desktop_.SetDialogWindow(parent);
  ::PostMessageW(first, WM_KEYDOWN, VK_TAB, 0);
  desktop_.ProcessPendingEvents();
  EXPECT_EQ(::GetFocus(), second);
  desktop_.SetDialogWindow(nullptr);
  ::DestroyWindow(parent);
}

// What the child's C runtime makes of `program "argument"`.
std::vector<std::wstring> ParsedArguments(const std::wstring& line) {
  int count = 0;
  LPWSTR* parts = ::CommandLineToArgvW(line.c_str(), &count);
  std::vector<std::wstring> arguments(parts, parts + count);
  ::LocalFree(parts);
  return arguments;
}

TEST(QuotedArgument, QuotesByTheArgvRules) {
  EXPECT_EQ(QuotedArgument(L"C:\\My Files\\backups.log"), L"\"C:\\My Files\\backups.log\"");
  EXPECT_EQ(QuotedArgument(L""), L"\"\"");
  EXPECT_EQ(QuotedArgument(L"say \"hi\""), L"\"say \\\"hi\\\"\"");
  EXPECT_EQ(QuotedArgument(L"a\\\"b"), L"\"a\\\\\\\"b\"") << "backslashes before a quote doubled";
  EXPECT_EQ(QuotedArgument(L"C:\\dir\\"), L"\"C:\\dir\\\\\"") << "and before the closing quote";

  for (const std::wstring argument :
       {L"plain", L"", L"with space", L"C:\\Program Files\\", L"\\\\server\\share\\", L"\"quoted\"",
        L"a\\\\\"b", L"tab\there", L"trailing\\\\", L"caf\u00E9 \u043F\u0440"}) {
    EXPECT_EQ(ParsedArguments(CommandLineFor(L"notepad", argument)),
              (std::vector<std::wstring>{L"notepad", argument}));
  }
  EXPECT_EQ(ParsedArguments(CommandLineFor(L"C:\\Program Files\\x.exe", L"a")),
            (std::vector<std::wstring>{L"C:\\Program Files\\x.exe", L"a"}));
}

TEST(Win32DesktopStart, ProgramsComeFromTheSystemFoldersByFullPath) {
  LARKSPUR_REQUIRE_WINE();
  EXPECT_EQ(ProgramPath(kTextViewer), L"C:\\windows\\system32\\notepad.exe");
  EXPECT_EQ(ProgramPath(kWebViewer), L"C:\\windows\\explorer.exe");
  for (const std::string program : {kTextViewer, kWebViewer})
    EXPECT_NE(::GetFileAttributesW(ProgramPath(program).c_str()), INVALID_FILE_ATTRIBUTES)
        << program;
  EXPECT_EQ(ProgramPath("hostname"), L"") << "nothing else is started";
  EXPECT_EQ(ProgramPath("notepad.exe"), L"");
}

TEST(Win32DesktopStart, FailsForWhatCannotStart) {
  Win32Desktop desktop;
  EXPECT_FALSE(desktop.StartProcess("hostname", "/?", ShowStyle::kNormal)) << "not ours to start";
  EXPECT_FALSE(desktop.StartProcess(kTextViewer, "caf\xC3", ShowStyle::kNormal))
      << "a cut UTF-8 character";
  EXPECT_FALSE(desktop.StartProcess("", "x", ShowStyle::kNormal));
}

}  // namespace
}  // namespace larkspur
