// The Windows window, whole, on the prefix's real registry, tray and files: its controls as the
// control table places them, start-up, "Delete Now", the auto-delete toggle, the tray, its menu
// and closing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <commctrl.h>
#include <shellapi.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/native_stores.h"
#include "platform/win32/code_page.h"
#include "support/cursor_file.h"
#include "support/temp_dir.h"
#include "support/wine.h"
#include "ui/win32/win32_main_window.h"
#include "ui/win32/win32_program.h"

namespace larkspur {
namespace {

using ::testing::ElementsAreArray;

constexpr char kSettingsKey[] = "Software\\Quillmark\\Larkspur";
// The bytes are the disk space freed, which the file system decides.
constexpr char kSummary[] = "^Erased 1 item \\(.*\\)\\.$";

std::string Text(HWND window) {
  char text[256] = {};
  ::GetWindowTextA(window, text, sizeof text);
  return text;
}

// A stored setting, or nothing when the value is missing.
std::optional<std::string> StoredSetting(const char* name) {
  char value[256] = {};
  DWORD size = sizeof value;
  DWORD type = 0;
  if (::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_ANY, &type, value, &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
  return std::string(value);
}

// The real desktop but for its draw, which never invites to the home page: that would start a
// browser.
class FixedDrawDesktop final : public Win32Desktop {
 public:
  void Randomize(double) override {}
  double Rnd() override { return 0.5; }
};

// Whether the tray shows the window's icon: changing an unknown one fails.
bool IconInTray(HWND window) {
  NOTIFYICONDATAA icon{};
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = window;
  return ::Shell_NotifyIconA(NIM_MODIFY, &icon) != FALSE;
}

int ScreenDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

std::filesystem::path FirefoxFolder() {
  const char* appdata = std::getenv("APPDATA");
  return std::filesystem::path(appdata != nullptr ? appdata : "") / "Mozilla" / "Firefox";
}

constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::optional<std::string> RunValue() {
  char value[1024] = {};
  DWORD size = sizeof value;
  if (::RegGetValueA(HKEY_CURRENT_USER, kRunKey, "Larkspur", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

// Firefox has a profile here, so that its group takes clicks.
class Win32WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    LARKSPUR_REQUIRE_WINE();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    testing::WriteFile(FirefoxFolder() / "profiles.ini", "[Profile0]\r\nPath=Profiles/p\r\n");
    testing::WriteFile(FirefoxFolder() / "Profiles" / "p" / "prefs.js", "");
    program_ = std::make_unique<Win32Program>(MakeNativeStores(UserFoldersFromEnvironment()),
                                              ::GetModuleHandleW(nullptr), program_folder_.str(),
                                              std::make_unique<FixedDrawDesktop>(),
                                              (program_folder_ / "larkspur.log").string());
    ASSERT_NE(window(), nullptr) << "no window: the tests need an X display";
  }
  void TearDown() override {
    program_.reset();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Larkspur");
    std::error_code ignored;
    std::filesystem::remove_all(FirefoxFolder(), ignored);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  HWND window() { return program_->face().Handle(); }
  HWND control(const std::string& name) { return program_->face().Control(name); }
  void Click(const std::string& name) { ::SendMessageA(control(name), BM_CLICK, 0, 0); }
  bool Checked(const std::string& name) {
    return ::SendMessageA(control(name), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }

  testing::TempDir program_folder_;
  std::unique_ptr<Win32Program> program_;
};

TEST_F(Win32WindowTest, EveryControlInItsPlace) {
  ASSERT_EQ(ScreenDpi(), 96) << "the places below are pixels at 96 dots per inch";
  program_->Open();
  RECT client{};
  ::GetClientRect(window(), &client);
  EXPECT_EQ(client.right, 512);
  EXPECT_EQ(client.bottom, 596);
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(window(), GWL_STYLE));
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX) << "no maximise button";
  EXPECT_FALSE(style & WS_THICKFRAME) << "the user cannot resize";
  EXPECT_EQ(Text(window()), "Larkspur");

  // Client-area pixels, the caption as created, and the Arial bold font's height (0: none set).
  const struct {
    const char* name;
    RECT place;
    const char* caption;
    int font_height;
  } expected[] = {
      {"Frame1", {8, 8, 252, 159}, "Internet Explorer", -12},
      {"chkIEHist", {29, 32, 126, 49}, "Clear History", -12},
      {"chkIETemp", {29, 56, 249, 73}, "Clear Cache/Temp Internet Files", -12},
      {"chkIETyped", {29, 80, 202, 97}, "Clear Typed Urls In IE", -12},
      {"chkIECookies", {29, 104, 186, 121}, "Clear Cookies", -12},
      {"Frame2", {261, 8, 505, 159}, "Mozilla Firefox", -12},
      {"chkFFHist", {282, 32, 424, 49}, "Clear Form History", -12},
      {"chkFFDownloads", {282, 56, 484, 73}, "Clear Downloads", -12},
      {"chkTypedUrls", {282, 80, 486, 97}, "Clear Typed URL(s) In Firefox", -12},
      {"chkCookies", {282, 104, 439, 121}, "Clear Cookies", -12},
      {"chkFFCache", {282, 128, 439, 145}, "Clear Cache", -12},
      {"Frame4", {8, 163, 252, 314}, "Google Chrome", -12},
      {"chkChromeHist", {29, 187, 186, 204}, "Clear History", -12},
      {"chkChromeTabs", {29, 259, 186, 276}, "Clear Open Tabs", -12},
      {"Frame5", {261, 163, 505, 314}, "Microsoft Edge", -12},
      {"Frame3", {8, 319, 505, 446}, "How often would you like to delete history?", -13},
      {"List1", {24, 343, 489, 436}, "", -13},
      {"Check13", {8, 451, 169, 532}, "Turn On Auto Delete", -15},
      {"Check12", {174, 451, 335, 532}, "Delete Now", -15},
      {"Check11", {342, 451, 503, 532}, "View Save Log", -15},
      {"Label5", {8, 539, 505, 556}, "", -13},
      {"ProgressBar1", {8, 563, 505, 588}, "", 0},
  };
  for (const auto& [name, place, caption, font_height] : expected) {
    SCOPED_TRACE(name);
    const HWND widget = control(name);
    ASSERT_NE(widget, nullptr);
    EXPECT_TRUE(::IsWindowVisible(widget));
    RECT shown{};
    ::GetWindowRect(widget, &shown);
    ::MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&shown), 2);
    EXPECT_EQ(shown.left, place.left);
    EXPECT_EQ(shown.top, place.top);
    EXPECT_EQ(shown.right, place.right);
    EXPECT_EQ(shown.bottom, place.bottom);
    EXPECT_EQ(Text(widget), caption);
    if (font_height == 0)
      continue;
    LOGFONTA shape{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(widget, WM_GETFONT, 0, 0)), sizeof shape,
                 &shape);
    EXPECT_STREQ(shape.lfFaceName, "Arial");
    EXPECT_EQ(shape.lfWeight, FW_BOLD);
    EXPECT_EQ(shape.lfCharSet, ANSI_CHARSET);
    EXPECT_EQ(shape.lfHeight, font_height);
  }
  for (const char* name : {"Check11", "Check12", "Check13"}) {
    SCOPED_TRACE(name);
    const HWND widget = control(name);
    EXPECT_EQ(::GetWindowLongPtrA(widget, GWL_STYLE) & (BS_TYPEMASK | BS_PUSHLIKE), BS_PUSHBUTTON)
        << "a push button to assistive technology, pressed by Enter";
    BUTTON_IMAGELIST picture{};
    ASSERT_TRUE(::SendMessageA(widget, BCM_GETIMAGELIST, 0, reinterpret_cast<LPARAM>(&picture)));
    int width = 0;
    int height = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(picture.himl, &width, &height));
    EXPECT_EQ(width, 32);
    EXPECT_EQ(::ImageList_GetImageCount(picture.himl), 1);
    EXPECT_EQ(picture.uAlign, static_cast<UINT>(BUTTON_IMAGELIST_ALIGN_TOP));
  }

  // The focus sink lies left of the client area.
  RECT sink{};
  ::GetWindowRect(control("Command1"), &sink);
  ::MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&sink), 2);
  EXPECT_LE(sink.right, 0);

  EXPECT_EQ(::SendMessageA(control("ProgressBar1"), PBM_GETBKCOLOR, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(::SendMessageA(control("ProgressBar1"), PBM_GETRANGE, FALSE, 0), 100);
}

TEST_F(Win32WindowTest, TabGoesThroughTheControlsInTheTablesOrderFromAnInvisibleStart) {
  program_->Open();
  EXPECT_EQ(::GetFocus(), control("Command1")) << "no visible control has the focus at start";

  std::vector<std::string> order;
  HWND at = control("Command1");
  for (int step = 0; step < 30; ++step) {
    at = ::GetNextDlgTabItem(window(), at, FALSE);
    if (at == control("Command1"))
      break;
    order.push_back(Text(at).empty() ? "List1" : Text(at));
  }
  // clang-format off
  EXPECT_THAT(order,
              ElementsAreArray<std::string>(
                  {"View Save Log", "List1", "Delete Now", "Turn On Auto Delete", "Clear Cookies",
                   "Clear Typed Urls In IE", "Clear Cache/Temp Internet Files", "Clear History",
                   "Clear Form History", "Clear Downloads", "Clear Typed URL(s) In Firefox",
                   "Clear Cookies", "Clear Cache", "Clear History", "Clear Cache", "Clear Cookies",
                   "Clear Open Tabs", "Clear History", "Clear Cache", "Clear Cookies",
                   "Clear Open Tabs"}));
  // clang-format on
}

// The tip of the Chrome frame, over the frame's free surface and over each box inside it.
TEST_F(Win32WindowTest, TheChromeFrameAndTheBoxesInItShowItsTip) {
  program_->Open();
  program_->form().Frame4ToolTipText = "Chromium browsers found: Brave.";
  program_->face().Mirror();
  const HWND tips = program_->face().ToolTips();
  EXPECT_EQ(::SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 5);
  for (const UINT_PTR id : {static_cast<UINT_PTR>(ControlId("Frame4")),
                            reinterpret_cast<UINT_PTR>(control("chkChromeTabs"))}) {
    wchar_t text[80] = {};
    TTTOOLINFOW tool{TTTOOLINFOW_V2_SIZE, 0, window(), id, {}, nullptr, text, 0, nullptr};
    ::SendMessageW(tips, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, L"Chromium browsers found: Brave.") << id;
  }
}

TEST_F(Win32WindowTest, FirstStartSelectsFiveMinutesAndStoresIt) {
  program_->Open();
  const HWND list1 = control("List1");
  EXPECT_EQ(::SendMessageA(list1, LB_GETCOUNT, 0, 0), 11);
  EXPECT_EQ(::SendMessageA(list1, LB_GETCURSEL, 0, 0), 0);
  char first[64] = {};
  ::SendMessageA(list1, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  EXPECT_STREQ(first, "Delete every 5 minutes");
  EXPECT_EQ(Text(control("Check13")), "Turn On Auto Delete");
  EXPECT_EQ(StoredSetting("OftenIndex"), "1");
  EXPECT_EQ(StoredSetting("BackupSwitch"), std::nullopt);
  for (const char* box : {"chkIEHist", "chkIETemp", "chkIETyped", "chkIECookies", "chkFFHist",
                          "chkFFDownloads", "chkTypedUrls", "chkCookies", "chkFFCache"})
    EXPECT_FALSE(Checked(box)) << box;
  EXPECT_TRUE(program_->tray().IconAdded());
  EXPECT_EQ(program_->tray().TrayTip(), "Larkspur");
}

TEST_F(Win32WindowTest, AutoDeleteToggleTurnsOnAndOffAndIsStored) {
  program_->Open();
  Click("Check13");
  EXPECT_EQ(Text(control("Check13")), "Turn Off Auto Delete");
  EXPECT_FALSE(Checked("Check13")) << "a picture button springs back";
  EXPECT_EQ(StoredSetting("BackupSwitch"), "On");
  EXPECT_TRUE(program_->form().Timer1.Ticking());

  Click("Check13");
  EXPECT_EQ(Text(control("Check13")), "Turn On Auto Delete");
  EXPECT_EQ(StoredSetting("BackupSwitch"), "Off");
  EXPECT_FALSE(program_->form().Timer1.Ticking());

  // While on, each tick of Timer1 moves the progress bar a second further into the interval.
  Click("Check13");
  ::SendMessageA(window(), WM_TIMER, 1, 0);
  ::SendMessageA(window(), WM_TIMER, 1, 0);
  EXPECT_EQ(::SendMessageA(control("ProgressBar1"), PBM_GETPOS, 0, 0), 2);
  EXPECT_EQ(::SendMessageA(control("ProgressBar1"), PBM_GETRANGE, FALSE, 0), 300);

  // Choosing another interval stores its place in the list, counted from 1.
  ::SendMessageA(control("List1"), LB_SETCURSEL, 5, 0);
  ::SendMessageA(window(), WM_COMMAND, MAKEWPARAM(ControlId("List1"), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control("List1")));
  EXPECT_EQ(StoredSetting("OftenIndex"), "6");
}

TEST_F(Win32WindowTest, DeleteNowAndATimedRunLeaveTheirSummaryOnTheStatusLine) {
  const char* appdata = std::getenv("APPDATA");
  ASSERT_NE(appdata, nullptr);
  const std::filesystem::path firefox = std::filesystem::path(appdata) / "Mozilla" / "Firefox";
  const std::filesystem::path cookies = firefox / "Profiles" / "t1.default" / "cookies.sqlite";
  testing::WriteFile(firefox / "profiles.ini", "[Profile0]\r\nPath=Profiles/t1.default\r\n");
  testing::WriteFile(cookies, "cookies");
  testing::WriteFile(firefox / "Profiles" / "t1.default" / "places.sqlite", "places");
  testing::WriteFile(firefox / "Profiles" / "t1.default" / "prefs.js", "");

  program_->Open();
  program_->form().Label5.SetCaption("earlier status");
  program_->face().Mirror();
  Click("chkCookies");
  EXPECT_TRUE(program_->form().chkCookies.Ticked());

  const DWORD start = ::GetTickCount();
  Click("Check12");
  const DWORD took = ::GetTickCount() - start;

  EXPECT_GE(took, 4900u) << "the five-second pause";
  EXPECT_FALSE(std::filesystem::exists(cookies));
  EXPECT_TRUE(std::filesystem::exists(firefox / "Profiles" / "t1.default" / "places.sqlite"));
  EXPECT_THAT(Text(control("Label5")), ::testing::MatchesRegex(kSummary)) << "after the pause too";
  EXPECT_FALSE(Checked("Check12"));
  EXPECT_EQ(program_->form().MousePointer, Pointer::kDefault);

  // The five minutes of a timed run, tick by tick.
  testing::WriteFile(cookies, "cookies");
  program_->form().Label5.SetCaption("earlier status");
  Click("Check13");
  for (int tick = 0; tick < 300; ++tick)
    ::SendMessageA(window(), WM_TIMER, 1, 0);
  EXPECT_FALSE(std::filesystem::exists(cookies));
  EXPECT_THAT(Text(control("Label5")), ::testing::MatchesRegex(kSummary));
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(appdata) / "Mozilla", ignored);
}

// The status line's tooltip: the first tool of the window's tooltips that knows the label.
std::string StatusTip(HWND window, HWND label) {
  wchar_t text[512] = {};
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(label);
  tool.lpszText = text;
  HWND tip = nullptr;
  while ((tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr)
    if (::SendMessageW(tip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool)), text[0] != 0)
      break;
  return Utf8FromWide(text);
}

// The label keeps the whole text, its name to a screen reader; where the line shows less, the
// tooltip shows all.
TEST_F(Win32WindowTest, ALongStatusTextIsWholeInTheLabelAndItsTooltip) {
  program_->Open();
  const std::string sentence =
      "Erased 7 items (99.3 KB). 4 stayed: browser running. Close Firefox to clear its history, "
      "cookies and form history.";
  program_->form().Label5.SetCaption(sentence);
  program_->face().Mirror();
  EXPECT_EQ(Text(control("Label5")), sentence);
  EXPECT_EQ(StatusTip(window(), control("Label5")), sentence);
}

TEST_F(Win32WindowTest, TheHandFromTheCursorFileShowsOverThePictureButtonsOnly) {
  testing::WriteFile(program_folder_ / "HAND-M.CUR", testing::CursorFileBytes());
  program_->Open();
  const auto pointer_now = [this] {
    ::SendMessageA(window(), WM_SETCURSOR, reinterpret_cast<WPARAM>(window()),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
  };
  const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);

  ::SendMessageA(control("Check12"), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
  EXPECT_EQ(program_->form().MousePointer, Pointer::kCustom);
  const HCURSOR hand = pointer_now();
  EXPECT_NE(hand, arrow);
  EXPECT_NE(hand, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(hand, &info));
  EXPECT_EQ(info.xHotspot, 1u) << "the file's own hot spot";
  EXPECT_EQ(info.yHotspot, 1u);
  ::DeleteObject(info.hbmMask);
  if (info.hbmColor != nullptr)
    ::DeleteObject(info.hbmColor);

  // Frame3 lets the pointer through to the window, which tells it apart from the rest.
  RECT frame3{};
  ::GetWindowRect(control("Frame3"), &frame3);
  ::MapWindowPoints(nullptr, window(), reinterpret_cast<POINT*>(&frame3), 2);
  ::SendMessageA(window(), WM_MOUSEMOVE, 0, MAKELPARAM(frame3.left + 2, frame3.top + 8));
  EXPECT_EQ(program_->form().MousePointer, Pointer::kDefault);
  EXPECT_EQ(pointer_now(), arrow);
  ::SendMessageA(control("List1"), WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
  EXPECT_EQ(program_->form().MousePointer, Pointer::kDefault);
}

TEST_F(Win32WindowTest, MinimisingHidesIntoTheTrayAndADoubleClickBringsItBack) {
  program_->Open();
  ASSERT_TRUE(program_->face().HasNotificationArea()) << "Wine's desktop has a tray";
  ::ShowWindow(window(), SW_MINIMIZE);
  EXPECT_FALSE(::IsWindowVisible(window()));

  // The tray's callback, as the shell sends it: a middle button does nothing.
  ::SendMessageA(window(), 1125, 0, WM_MBUTTONDOWN);
  ::SendMessageA(window(), 1125, 0, WM_MBUTTONDBLCLK);
  EXPECT_FALSE(::IsWindowVisible(window()));

  ::SendMessageA(window(), 1125, 0, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(::IsWindowVisible(window()));
  EXPECT_FALSE(::IsIconic(window()));
}

TEST_F(Win32WindowTest, ClosingRemovesTheTrayIconAndEndsTheMessageLoop) {
  program_->Open();
  const HWND window_before = window();
  NOTIFYICONDATAA icon{};
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = window_before;
  icon.uFlags = NIF_TIP;
  ASSERT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &icon)) << "the icon is in the tray";

  ::SendMessageA(window_before, WM_CLOSE, 0, 0);

  EXPECT_FALSE(::IsWindow(window_before));
  EXPECT_FALSE(program_->tray().InTray());
  EXPECT_FALSE(program_->tray().IconAdded());
  EXPECT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &icon)) << "the icon is gone from the tray";
  EXPECT_EQ(program_->Run(), 0) << "the loop ends at once";
}

TEST_F(Win32WindowTest, TheEndOfTheSessionClosesLikeTheCloseBox) {
  program_->Open();
  const HWND window_before = window();
  EXPECT_TRUE(::SendMessageA(window_before, WM_QUERYENDSESSION, 0, 0));
  EXPECT_TRUE(::IsWindow(window_before)) << "asking is not ending";
  ::SendMessageA(window_before, WM_ENDSESSION, TRUE, 0);
  EXPECT_FALSE(::IsWindow(window_before));
  EXPECT_FALSE(program_->tray().IconAdded());
  EXPECT_EQ(program_->Run(), 0);
}

TEST_F(Win32WindowTest, ANewTaskbarGetsTheIconAgainAndItsDoubleClickStillWorks) {
  program_->Open();
  ::ShowWindow(window(), SW_MINIMIZE);
  ASSERT_FALSE(::IsWindowVisible(window()));
  // Explorer ends, and its icons with it.
  NOTIFYICONDATAA icon{};
  icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
  icon.hWnd = window();
  ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &icon));
  ASSERT_FALSE(IconInTray(window()));

  // The new Explorer tells every top-level window, hidden ones too.
  ::SendMessageTimeoutW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, 5000, nullptr);
  EXPECT_TRUE(IconInTray(window()));
  EXPECT_TRUE(program_->tray().IconAdded());
  ::SendMessageA(window(), 1125, 0, WM_LBUTTONDBLCLK);
  EXPECT_TRUE(::IsWindowVisible(window()));
}

// What a thread timer sees of the popup menu while the menu's own loop runs; it then closes it.
struct SeenMenu {
  std::vector<std::string> captions;
  std::vector<UINT> ids;
  UINT default_id = 0;
  int ticks = 0;
  bool closed = false;
};
SeenMenu g_menu;

void CALLBACK ReadAndCloseMenu(HWND, UINT, UINT_PTR, DWORD) {
  if (g_menu.closed)
    return;
  const HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (popup != nullptr && ::IsWindowVisible(popup)) {
    const auto menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int item = 0; item < ::GetMenuItemCount(menu); ++item) {
      char caption[64] = {};
      ::GetMenuStringA(menu, static_cast<UINT>(item), caption, sizeof caption, MF_BYPOSITION);
      g_menu.captions.emplace_back(caption);
      g_menu.ids.push_back(::GetMenuItemID(menu, item));
    }
    g_menu.default_id = ::GetMenuDefaultItem(menu, FALSE, 0);
  } else if (++g_menu.ticks < 100) {
    return;  // not open yet; after ten seconds the test goes on without it
  }
  g_menu.closed = true;
  ::EndMenu();
}

// Without a Firefox profile its group is disabled, with a tooltip over it; Internet Explorer, part
// of Windows, is always there.
TEST_F(Win32WindowTest, FirefoxWithoutAProfileIsShownDisabled) {
  std::filesystem::remove_all(FirefoxFolder());
  program_->Open();
  EXPECT_FALSE(::IsWindowEnabled(control("Frame2")));
  EXPECT_FALSE(::IsWindowEnabled(control("chkCookies")));
  EXPECT_TRUE(::IsWindowEnabled(control("chkIEHist")));
  EXPECT_EQ(::SendMessageW(program_->face().PresenceTips(), TTM_GETTOOLCOUNT, 0, 0), 1);
}

TEST_F(Win32WindowTest, RightButtonUpOnTheIconOpensTheTrayMenu) {
  program_->Open();
  ::ShowWindow(window(), SW_MINIMIZE);
  g_menu = {};
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, &ReadAndCloseMenu);
  ::SendMessageA(window(), 1125, 0, WM_RBUTTONDOWN);
  EXPECT_TRUE(g_menu.captions.empty()) << "not on button down";
  ::SendMessageA(window(), 1125, 0, WM_RBUTTONUP);  // returns when the menu has closed
  ::KillTimer(nullptr, timer);

  EXPECT_THAT(g_menu.captions, ElementsAreArray<std::string>(
                                   {"Show Larkspur", "Delete Now", "Start at sign-in", "Exit"}));
  EXPECT_THAT(
      g_menu.ids,
      ElementsAreArray<UINT>({static_cast<UINT>(TrayMenuId(0)), static_cast<UINT>(TrayMenuId(1)),
                              static_cast<UINT>(TrayMenuId(2)), static_cast<UINT>(TrayMenuId(3))}));
  EXPECT_EQ(g_menu.default_id, static_cast<UINT>(TrayMenuId(0)));
  EXPECT_FALSE(::IsWindowVisible(window())) << "closing the menu chooses nothing";
  EXPECT_TRUE(::IsWindow(window()));
}

TEST_F(Win32WindowTest, TrayMenuCommandsShowTheWindowDeleteNowAndExit) {
  constexpr char kTypedUrls[] = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
  HKEY typed = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kTypedUrls, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &typed, nullptr),
            ERROR_SUCCESS);
  constexpr char kUrl[] = "http://typed.example/";
  ::RegSetValueExA(typed, "url1", 0, REG_SZ, reinterpret_cast<const BYTE*>(kUrl), sizeof kUrl);
  const auto url1_stored = [typed] {
    return ::RegQueryValueExA(typed, "url1", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  };
  const auto choose = [this](std::size_t entry) {
    ::SendMessageA(window(), WM_COMMAND, MAKEWPARAM(TrayMenuId(entry), 0), 0);
  };

  program_->Open();
  ::ShowWindow(window(), SW_MINIMIZE);
  ASSERT_FALSE(::IsWindowVisible(window()));
  choose(0);  // "Show Larkspur"
  EXPECT_TRUE(::IsWindowVisible(window()));
  EXPECT_FALSE(::IsIconic(window()));

  Click("chkIETyped");
  ::ShowWindow(window(), SW_MINIMIZE);
  choose(1);  // "Delete Now", hidden in the tray; returns after its pause
  EXPECT_FALSE(url1_stored());
  EXPECT_FALSE(::IsWindowVisible(window())) << "it stays in the tray";
  EXPECT_FALSE(Checked("Check12"));
  ::RegCloseKey(typed);

  // "Start at sign-in": the Run value starts this program, quoted, in the tray; again, it goes.
  wchar_t exe[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::string command = "\"";
  command.append(std::filesystem::path(exe).string()).append("\" --tray");
  choose(2);
  EXPECT_EQ(RunValue(), command);
  choose(2);
  EXPECT_EQ(RunValue(), std::nullopt);

  const HWND window_before = window();
  choose(3);  // "Exit"
  EXPECT_FALSE(::IsWindow(window_before));
  EXPECT_FALSE(IconInTray(window_before));
  EXPECT_EQ(program_->Run(), 0) << "the loop ends at once";
}

}  // namespace
}  // namespace larkspur
