// The tray control on the real notification area and real window subclassing under Wine: the
// icon comes and goes, the shell's callback raises the control's events, and every message still
// reaches the window's own procedure with its own result.
#include "platform/win32/win32_notify_area.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/wine.h"
#include "tray/sys_tray.h"
#include "tray/sys_tray_hook.h"

namespace larkspur {
namespace {

constexpr UINT kCallback = mSysTray::TRAY_CALLBACK_MESSAGE;
constexpr UINT kOther = WM_APP + 1;
constexpr LRESULT kOwnResult = 4321;
constexpr LONG_PTR kOwnUserData = 0x5151;

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A hidden top-level window of the test's own that logs what reaches its procedure. The log
// hangs in the window's extra bytes: GWLP_USERDATA belongs to the hook while it is in place.
class LoggingWindow {
 public:
  LoggingWindow() {
    WNDCLASSA window_class{};
    window_class.lpfnWndProc = &Procedure;
    window_class.cbWndExtra = sizeof(void*);
    window_class.hInstance = ::GetModuleHandleA(nullptr);
    window_class.lpszClassName = "LarkspurTrayTestWindow";
    ::RegisterClassA(&window_class);  // fails harmlessly when a test before made it
    hwnd_ = ::CreateWindowA("LarkspurTrayTestWindow", "tray test", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                            100, nullptr, nullptr, window_class.hInstance, nullptr);
    ::SetWindowLongPtrA(hwnd_, 0, reinterpret_cast<LONG_PTR>(&log_));
    ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, kOwnUserData);
  }
  ~LoggingWindow() {
    if (::IsWindow(hwnd_))
      ::DestroyWindow(hwnd_);
  }

  HWND hwnd() const { return hwnd_; }
  WindowHandle handle() const { return reinterpret_cast<WindowHandle>(hwnd_); }
  // The messages of `message` that reached the window's own procedure.
  std::vector<Received> Got(UINT message) const {
    std::vector<Received> got;
    for (const Received& entry : log_)
      if (entry.message == message)
        got.push_back(entry);
    return got;
  }
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* log = reinterpret_cast<std::vector<Received>*>(::GetWindowLongPtrA(hwnd, 0));
    if (log != nullptr)
      log->push_back({message, wParam, lParam});
    if (message == kCallback || message == kOther)
      return kOwnResult + static_cast<LRESULT>(wParam);
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }

 private:
  HWND hwnd_ = nullptr;
  std::vector<Received> log_;
};

struct Event {
  std::string name;
  int button;
  int id;
  bool operator==(const Event&) const = default;
};

class Win32TrayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LARKSPUR_REQUIRE_WINE();
    ASSERT_NE(window_.hwnd(), nullptr) << "no display";
    original_ = ::GetWindowLongPtrA(window_.hwnd(), GWLP_WNDPROC);
  }

  std::unique_ptr<cSysTray> Tray(const LoggingWindow& window, std::vector<Event>& events) {
    const auto icon = reinterpret_cast<IconHandle>(::LoadIconA(nullptr, IDI_APPLICATION));
    auto tray = std::make_unique<cSysTray>(TraySite{area_, subclass_, window.handle(), true},
                                           IconPicture(icon));
    tray->SetTrayIcon(tray->OwnPicture());
    tray->SetTrayTip("Larkspur");
    tray->MouseMove = [&events](std::int32_t id) { events.push_back({"move", 0, id}); };
    tray->MouseDown = [&events](std::int16_t button, std::int32_t id) {
      events.push_back({"down", button, id});
    };
    tray->MouseUp = [&events](std::int16_t button, std::int32_t id) {
      events.push_back({"up", button, id});
    };
    tray->MouseDblClick = [&events](std::int16_t button, std::int32_t id) {
      events.push_back({"dblclick", button, id});
    };
    return tray;
  }

  // Whether the shell knows the window's icon: changing an unknown one fails.
  bool IconKnown(const LoggingWindow& window) {
    NotifyIconDataA data{};
    data.cbSize = kNotifyIconDataV1Size;
    data.hWnd = window.handle();
    data.uFlags = kNifTip;
    std::strcpy(data.szTip, "changed");
    return area_.ShellNotifyIcon(kNimModify, data);
  }

  Win32NotifyArea area_;
  Win32WindowSubclass subclass_;
  LoggingWindow window_;
  LONG_PTR original_ = 0;
  std::vector<Event> events_;
};

TEST_F(Win32TrayTest, InTrayAddsTheIconAndHooksTheWindowUntilItIsTakenOut) {
  const auto tray = Tray(window_, events_);
  EXPECT_FALSE(IconKnown(window_));
  tray->SetInTray(true);
  EXPECT_TRUE(tray->IconAdded());
  EXPECT_TRUE(IconKnown(window_));
  EXPECT_NE(::GetWindowLongPtrA(window_.hwnd(), GWLP_WNDPROC), original_);

  tray->SetInTray(false);
  EXPECT_FALSE(IconKnown(window_));
  EXPECT_EQ(::GetWindowLongPtrA(window_.hwnd(), GWLP_WNDPROC), original_);
  EXPECT_EQ(::GetWindowLongPtrA(window_.hwnd(), GWLP_USERDATA), kOwnUserData);
  EXPECT_EQ(::SendMessageA(window_.hwnd(), kCallback, 0, WM_LBUTTONDBLCLK), kOwnResult);
  EXPECT_TRUE(events_.empty()) << "no hook, no events";
}

TEST_F(Win32TrayTest, CallbacksRaiseEventsAndStillReachTheWindow) {
  const auto tray = Tray(window_, events_);
  tray->SetInTray(true);
  EXPECT_EQ(::SendMessageA(window_.hwnd(), kCallback, 0, WM_LBUTTONDBLCLK), kOwnResult);
  EXPECT_EQ(::SendMessageA(window_.hwnd(), kCallback, 0, WM_RBUTTONUP), kOwnResult);
  EXPECT_EQ(::SendMessageA(window_.hwnd(), kCallback, 0, WM_MBUTTONDOWN), kOwnResult);
  EXPECT_EQ(events_, (std::vector<Event>{{"dblclick", 1, 0}, {"up", 2, 0}}))
      << "the middle button raises nothing";
  const auto got = window_.Got(kCallback);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].lParam, WM_LBUTTONDBLCLK);
  EXPECT_EQ(got[2].lParam, WM_MBUTTONDOWN);

  // Everything else passes untouched, with the window's own result.
  EXPECT_EQ(::SendMessageA(window_.hwnd(), kOther, 9, 77), kOwnResult + 9);
  ASSERT_EQ(window_.Got(kOther).size(), 1u);
  EXPECT_EQ(window_.Got(kOther)[0].lParam, 77);
  EXPECT_EQ(::SendMessageA(window_.hwnd(), WM_GETTEXTLENGTH, 0, 0), 9) << "\"tray test\"";
  EXPECT_EQ(events_.size(), 2u);
  tray->SetInTray(false);
}

TEST_F(Win32TrayTest, HandlerThatTakesTheIconOutDuringTheCallback) {
  const auto tray = Tray(window_, events_);
  tray->MouseDblClick = [&](std::int16_t, std::int32_t) { tray->SetInTray(false); };
  tray->SetInTray(true);
  EXPECT_EQ(::SendMessageA(window_.hwnd(), kCallback, 0, WM_LBUTTONDBLCLK), kOwnResult);
  EXPECT_EQ(window_.Got(kCallback).size(), 1u) << "the message still reaches the window, once";
  EXPECT_FALSE(tray->InTray());
  EXPECT_FALSE(IconKnown(window_));
  EXPECT_EQ(::GetWindowLongPtrA(window_.hwnd(), GWLP_WNDPROC), original_);
  EXPECT_EQ(::GetWindowLongPtrA(window_.hwnd(), GWLP_USERDATA), kOwnUserData);

  // And it can go back in.
  tray->MouseDblClick = nullptr;
  tray->SetInTray(true);
  EXPECT_TRUE(IconKnown(window_));
  EXPECT_EQ(::SendMessageA(window_.hwnd(), kCallback, 0, WM_LBUTTONDOWN), kOwnResult);
  EXPECT_EQ(events_, (std::vector<Event>{{"down", 1, 0}}));
  tray->SetInTray(false);
}

TEST_F(Win32TrayTest, ANewNotificationAreaGetsTheIconsThatAreInTheTray) {
  const auto tray = Tray(window_, events_);
  tray->SetInTray(true);
  // The shell ends, and its icons with it.
  NotifyIconDataA gone{};
  gone.cbSize = kNotifyIconDataV1Size;
  gone.hWnd = window_.handle();
  NOTIFYICONDATAA lost = RecordFor(gone);
  ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &lost));
  ASSERT_FALSE(IconKnown(window_));

  area_.AddAgain();
  EXPECT_TRUE(IconKnown(window_));
  area_.AddAgain();  // while the area still shows it: no harm
  EXPECT_TRUE(IconKnown(window_));
  EXPECT_EQ(::SendMessageA(window_.hwnd(), kCallback, 0, WM_LBUTTONDBLCLK), kOwnResult);
  EXPECT_EQ(events_, (std::vector<Event>{{"dblclick", 1, 0}})) << "with its callback";

  tray->SetInTray(false);
  area_.AddAgain();
  EXPECT_FALSE(IconKnown(window_)) << "taken out of the tray, so not added again";
}

TEST_F(Win32TrayTest, TwoWindowsKeepTheirMessagesApart) {
  LoggingWindow other;
  std::vector<Event> other_events;
  const auto tray = Tray(window_, events_);
  const auto other_tray = Tray(other, other_events);
  tray->SetInTray(true);
  other_tray->SetInTray(true);

  ::SendMessageA(window_.hwnd(), kCallback, 0, WM_LBUTTONDOWN);
  ::SendMessageA(other.hwnd(), kCallback, 0, WM_RBUTTONDOWN);
  EXPECT_EQ(events_, (std::vector<Event>{{"down", 1, 0}}));
  EXPECT_EQ(other_events, (std::vector<Event>{{"down", 2, 0}}));
  ASSERT_EQ(window_.Got(kCallback).size(), 1u);
  EXPECT_EQ(window_.Got(kCallback)[0].lParam, WM_LBUTTONDOWN);
  ASSERT_EQ(other.Got(kCallback).size(), 1u);
  EXPECT_EQ(other.Got(kCallback)[0].lParam, WM_RBUTTONDOWN);

  // Taking one out leaves the other hooked.
  tray->SetInTray(false);
  ::SendMessageA(other.hwnd(), kCallback, 0, WM_LBUTTONDBLCLK);
  EXPECT_EQ(other_events.back(), (Event{"dblclick", 1, 0}));
  EXPECT_EQ(events_.size(), 1u);
  other_tray->SetInTray(false);
}

// A procedure that someone else puts in front of ours, passing everything on.
WNDPROC g_behind_outer = nullptr;
int g_outer_calls = 0;
LRESULT CALLBACK OuterProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ++g_outer_calls;
  return ::CallWindowProcA(g_behind_outer, hwnd, message, wParam, lParam);
}

TEST_F(Win32TrayTest, HookUnderAnotherSubclassStaysAndPassesMessagesOn) {
  const auto tray = Tray(window_, events_);
  tray->SetInTray(true);
  g_outer_calls = 0;
  g_behind_outer = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      window_.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterProcedure)));
  tray->SetInTray(false);
  // Restoring ours would have cut the other one out.
  EXPECT_EQ(::GetWindowLongPtrA(window_.hwnd(), GWLP_WNDPROC),
            reinterpret_cast<LONG_PTR>(&OuterProcedure));
  EXPECT_EQ(::SendMessageA(window_.hwnd(), kCallback, 0, WM_LBUTTONDOWN), kOwnResult);
  EXPECT_EQ(g_outer_calls, 1);
  EXPECT_TRUE(events_.empty());
  EXPECT_EQ(window_.Got(kCallback).size(), 1u);

  // In again: the hook still in place takes the events again.
  tray->SetInTray(true);
  ::SendMessageA(window_.hwnd(), kCallback, 0, WM_LBUTTONDOWN);
  EXPECT_EQ(events_, (std::vector<Event>{{"down", 1, 0}}));
  tray->SetInTray(false);
  ::SetWindowLongPtrA(window_.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_behind_outer));
}

TEST_F(Win32TrayTest, WindowsThatEndOrOutliveTheAdapter) {
  // A window destroyed while hooked: its record goes with it, and a new window is hooked afresh.
  {
    LoggingWindow short_lived;
    subclass_.Subclass(short_lived.handle(), [](WindowHandle, std::uint32_t, std::uintptr_t,
                                                std::intptr_t, const WindowProcedure& previous) {
      return previous ? std::intptr_t{1} : std::intptr_t{0};
    });
  }
  LoggingWindow later;
  int seen = 0;
  {
    Win32WindowSubclass adapter;
    adapter.Subclass(later.handle(),
                     [&seen](WindowHandle hwnd, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam, const WindowProcedure& previous) {
                       ++seen;
                       return previous(hwnd, message, wParam, lParam);
                     });
    EXPECT_EQ(::SendMessageA(later.hwnd(), kOther, 1, 0), kOwnResult + 1);
    EXPECT_EQ(seen, 1);
  }
  // The adapter's end took its hook out.
  EXPECT_EQ(::GetWindowLongPtrA(later.hwnd(), GWLP_WNDPROC), original_);
  EXPECT_EQ(::GetWindowLongPtrA(later.hwnd(), GWLP_USERDATA), kOwnUserData);
  EXPECT_EQ(::SendMessageA(later.hwnd(), kOther, 2, 0), kOwnResult + 2);
  EXPECT_EQ(seen, 1);
}

TEST(Win32NotifyRecord, CarriesTheFieldsAndTheTipInTheCodePage) {
  NotifyIconDataA data{};
  data.cbSize = kNotifyIconDataV1Size;
  data.hWnd = 0x1234;
  data.uID = 7;
  data.uFlags = kNifMessage | kNifIcon | kNifTip;
  data.uCallbackMessage = kCallback;
  data.hIcon = 0x5678;
  std::memset(data.szTip, 'x', kTipBytes);  // no NUL at all: the record still ends in one

  const NOTIFYICONDATAA record = RecordFor(data);
  EXPECT_EQ(record.cbSize, NOTIFYICONDATAA_V1_SIZE);
  EXPECT_EQ(record.hWnd, reinterpret_cast<HWND>(0x1234));
  EXPECT_EQ(record.uID, 7u);
  EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
  EXPECT_EQ(record.uCallbackMessage, kCallback);
  EXPECT_EQ(record.hIcon, reinterpret_cast<HICON>(0x5678));
  EXPECT_EQ(std::string(record.szTip), std::string(63, 'x'));

  if (::GetACP() != 1252)
    GTEST_SKIP() << "the code page is " << ::GetACP() << ", not 1252";
  std::strcpy(data.szTip, "Caf\xC3\xA9 \xD0\x9F");  // "Café П": П is not in 1252
  EXPECT_EQ(std::string(RecordFor(data).szTip), "Caf\xE9 ?");
}

}  // namespace
}  // namespace larkspur
