// The main window's behaviour without a window: start-up and the settings, "Delete Now", the
// auto-delete scheduler, minimising into the tray and closing, hover feedback, "View Save Log".
#include "app/main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "fakes/fake_folder_tree.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_url_cache.h"
#include "fakes/fake_url_history.h"
#include "fakes/fake_window.h"
#include "fakes/guarded_memory.h"
#include "iecleanup/registry1.h"
#include "platform/path_text.h"
#include "support/native_ports.h"
#include "support/temp_dir.h"
#include "tray/sys_tray_hook.h"

namespace larkspur {
namespace {

using ::testing::ElementsAre;
using testing::FakeDesktop;
using testing::FakeFace;
using testing::FakeNotifyArea;
using testing::FakeSettings;

const std::string kOftenIndex = "Quillmark/Larkspur/OftenIndex";
const std::string kBackupSwitch = "Quillmark/Larkspur/BackupSwitch";

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    auto registry = std::make_unique<testing::FakeRegistry>();
    registry_ = registry.get();
    auto cache = std::make_unique<testing::FakeUrlCache>();
    cache_ = cache.get();
    stores_.registry = std::move(registry);
    stores_.url_cache = std::move(cache);
    stores_.url_history = std::make_unique<testing::FakeUrlHistory>();
    stores_.memory = std::make_unique<testing::GuardedMemory>();
    stores_.folders = std::make_unique<testing::FakeFolderTree>();
    stores_.files = testing::NativeFilePatterns();
    stores_.profile_strings = testing::NativeProfileStrings();
  }

  // Builds the window as the program does, with what the test has put in the stores.
  MainWindow& Start() {
    engine_ = std::make_unique<CleanupEngine>(form_, stores_);
    window_ = std::make_unique<MainWindow>(
        form_, *engine_, MainWindowPorts{face_, settings_, desktop_, tray_, program_folder_});
    window_->Form_Load();
    return *window_;
  }

  void Click(CheckBox& box, void (MainWindow::*handler)()) {
    box.Value = kTicked;
    (window_.get()->*handler)();
  }

  bool TypedUrlPresent() {
    return !GetFromRegistry(*registry_, kHkeyCurrentUser, kTypedUrlsKey, "url1", "").empty();
  }
  void AddTypedUrl() { registry_->PutString(kTypedUrlsKey, "url1", "http://typed.example/"); }

  testing::TempDir dir_;
  std::string program_folder_ = Utf8FromPath(dir_ / "Program Files" / "Larkspur");
  testing::FakeRegistry* registry_;
  testing::FakeUrlCache* cache_;
  NativeStores stores_;
  Form1 form_;
  FakeFace face_{form_};
  FakeDesktop desktop_;
  FakeSettings settings_;
  FakeNotifyArea notify_area_;
  cSysTray tray_{TraySite{notify_area_, notify_area_, 42, true}};
  std::unique_ptr<CleanupEngine> engine_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(MainWindowTest, FirstStartWithAnEmptyStore) {
  cache_->Add("http://cached.example/");
  form_.chkCookies.Value = kUnticked;
  Start();

  EXPECT_EQ(form_.Caption, "Larkspur");
  ASSERT_EQ(form_.List1.items.size(), 11u);
  EXPECT_EQ(form_.List1.items.back(), "Delete every 24 hours");
  EXPECT_EQ(form_.List1.Text(), "Delete every 5 minutes");
  EXPECT_EQ(settings_.values[kOftenIndex], "1");
  EXPECT_EQ(settings_.values.count(kBackupSwitch), 0u);
  EXPECT_EQ(form_.Check13.Caption, "Turn On Auto Delete");
  EXPECT_EQ(form_.Label5.Caption(), "");
  EXPECT_FALSE(form_.Timer1.Ticking());
  EXPECT_EQ(window_->CurrentInterval(), 300);
  EXPECT_EQ(form_.ProgressBar1.BackColor, 0x00FFFFFFu);
  EXPECT_THAT(form_.List2, ElementsAre("http://cached.example/"));
  // Centred: (960 - 400) / 2, (720 - 300) / 2.
  EXPECT_DOUBLE_EQ(face_.outer.left, 280);
  EXPECT_DOUBLE_EQ(face_.outer.top, 210);
  // The tray icon, with its tip.
  ASSERT_EQ(notify_area_.calls.size(), 1u);
  EXPECT_EQ(notify_area_.calls[0].message, kNimAdd);
  EXPECT_STREQ(notify_area_.calls[0].data.szTip, "Larkspur");
  EXPECT_TRUE(face_.loaded_pointer.empty()) << "no HAND-M.CUR beside the program";
}

TEST_F(MainWindowTest, StoredIntervalSelectsItsEntry) {
  const std::pair<std::string, int> cases[] = {
      {"11", 10}, {"10", 9},  {"1", 0},  {"0", 0},  {"", 0},   {"Delete every 5 minutes", 0},
      {"3.6", 3}, {"2.5", 1}, {" 6", 5}, {"12", 0}, {"-3", 0}, {"70000", 0}};
  for (const auto& [stored, index] : cases) {
    settings_.values[kOftenIndex] = stored;
    form_ = Form1();
    Start();
    EXPECT_EQ(form_.List1.ListIndex, index) << '"' << stored << '"';
    EXPECT_EQ(settings_.values[kOftenIndex], std::to_string(index + 1)) << stored;
  }
}

TEST_F(MainWindowTest, StoredAutoDeleteState) {
  settings_.values[kBackupSwitch] = "Off";
  Start();
  EXPECT_EQ(form_.Check13.Caption, kAutoDeleteOff);
  EXPECT_EQ(form_.Label5.Caption(), "Auto Delete is Turned Off.");
  EXPECT_FALSE(form_.Timer1.Ticking());

  form_ = Form1();
  settings_.values[kBackupSwitch] = "On";
  Start();
  EXPECT_EQ(form_.Check13.Caption, kAutoDeleteOn);
  EXPECT_EQ(form_.Timer1.Interval, 1000);
  EXPECT_EQ(form_.Label5.Caption(), "");

  for (const char* other : {"off", "ON", " On"}) {
    form_ = Form1();
    settings_.values[kBackupSwitch] = other;
    Start();
    EXPECT_EQ(form_.Check13.Caption, kAutoDeleteOff) << other;
    EXPECT_EQ(form_.Timer1.Interval, 0) << other;
    EXPECT_EQ(form_.Label5.Caption(), "") << other;
  }
}

TEST_F(MainWindowTest, HomePageInvitationOnTheDrawOfSeven) {
  desktop_.draw = 0.06;  // int(6) + 1
  Start();
  EXPECT_THAT(desktop_.seeds, ElementsAre(86399.5)) << "seeded from the seconds since midnight";
  ASSERT_EQ(desktop_.started.size(), 1u);
  EXPECT_EQ(desktop_.started[0].program, kWebViewer);
  EXPECT_EQ(desktop_.started[0].argument, kHomePage);
  EXPECT_EQ(desktop_.started[0].show, ShowStyle::kMinimized);

  for (const double other : {0.0, 0.05, 0.07, 0.999}) {
    desktop_.started.clear();
    desktop_.draw = other;
    form_ = Form1();
    Start();
    EXPECT_TRUE(desktop_.started.empty()) << other;
  }

  // A browser that cannot be started is said on the status line; start-up goes on.
  desktop_.draw = 0.06;
  desktop_.can_start = false;
  form_ = Form1();
  Start();
  EXPECT_EQ(form_.Label5.Caption(), std::string("Cannot start ") + kWebViewer + ".");
  EXPECT_EQ(form_.List1.items.size(), 11u);
}

TEST_F(MainWindowTest, HandPointerLoadedWhenBesideTheProgram) {
  testing::WriteFile(PathFromUtf8(program_folder_) / "HAND-M.CUR", "cursor");
  Start();
  EXPECT_EQ(face_.loaded_pointer, program_folder_ + kPathSeparator + "HAND-M.CUR");
}

TEST_F(MainWindowTest, DeleteNowRunsOnceAndGivesTheStatusLineBack) {
  settings_.values[kBackupSwitch] = "Off";
  AddTypedUrl();
  Start();
  form_.chkIETyped.Value = kTicked;
  form_.ProgressBar1.Value = 40;
  std::vector<std::string> status_during_pause;
  desktop_.on_events = [&] { status_during_pause.push_back(form_.Label5.Caption()); };
  const double before = desktop_.now;

  Click(form_.Check12, &MainWindow::Check12_Click);

  EXPECT_FALSE(TypedUrlPresent());
  EXPECT_EQ(form_.Check12.Value, kUnticked);
  EXPECT_EQ(form_.ProgressBar1.Value, 0);
  EXPECT_GE(desktop_.now - before, 5.0) << "the pause lasts five seconds";
  EXPECT_LT(desktop_.now - before, 5.5);
  ASSERT_FALSE(status_during_pause.empty()) << "events are handled during the pause";
  EXPECT_EQ(status_during_pause.front(), "") << "empty during the pause";
  EXPECT_EQ(form_.Label5.Caption(), "Auto Delete is Turned Off.");
  EXPECT_THAT(face_.pointers_seen, ::testing::Contains(Pointer::kBusy));
  EXPECT_EQ(form_.MousePointer, Pointer::kDefault);
  EXPECT_THAT(face_.painted_status, ::testing::Contains("Deleting Typed Urls In IE..."))
      << "the status line is repainted during the run";

  // The call that unticking causes does nothing.
  AddTypedUrl();
  window_->Check12_Click();
  EXPECT_TRUE(TypedUrlPresent());
}

TEST_F(MainWindowTest, AutoDeleteRunsOncePerInterval) {
  Start();
  AddTypedUrl();
  form_.chkIETyped.Value = kTicked;
  Click(form_.Check13, &MainWindow::Check13_Click);
  EXPECT_EQ(form_.Check13.Caption, kAutoDeleteOn);
  EXPECT_EQ(form_.Check13.Value, kUnticked);
  EXPECT_EQ(settings_.values[kBackupSwitch], "On");
  EXPECT_TRUE(form_.Timer1.Ticking());

  window_->Timer1_Timer();
  EXPECT_EQ(form_.ProgressBar1.Max, 300);
  EXPECT_EQ(form_.ProgressBar1.Value, 1);
  for (int tick = 2; tick < 300; ++tick)
    window_->Timer1_Timer();
  EXPECT_TRUE(TypedUrlPresent()) << "not before the 300th tick";
  face_.timer_seen.clear();
  window_->Timer1_Timer();
  EXPECT_FALSE(TypedUrlPresent());
  EXPECT_EQ(window_->ElapsedSeconds(), 0);
  EXPECT_FALSE(face_.timer_seen.front()) << "the timer is stopped during the run";
  EXPECT_TRUE(form_.Timer1.Ticking());
  EXPECT_EQ(form_.Label5.Caption(), "");
  window_->Timer1_Timer();
  EXPECT_EQ(form_.ProgressBar1.Value, 1);

  // Off at 200, on again: the run comes 100 ticks later.
  AddTypedUrl();
  window_->SetElapsedSeconds(200);
  Click(form_.Check13, &MainWindow::Check13_Click);
  EXPECT_EQ(settings_.values[kBackupSwitch], "Off");
  EXPECT_FALSE(form_.Timer1.Ticking());
  window_->Timer1_Timer();  // a tick already on its way
  EXPECT_EQ(form_.Label5.Caption(), "Off.");
  EXPECT_EQ(window_->ElapsedSeconds(), 200);
  Click(form_.Check13, &MainWindow::Check13_Click);
  for (int tick = 0; tick < 99; ++tick)
    window_->Timer1_Timer();
  EXPECT_TRUE(TypedUrlPresent());
  window_->Timer1_Timer();
  EXPECT_FALSE(TypedUrlPresent());
}

TEST_F(MainWindowTest, ChangingTheIntervalKeepsTheCount) {
  Start();
  AddTypedUrl();
  form_.chkIETyped.Value = kTicked;
  form_.List1.ListIndex = 10;
  window_->List1_Click();
  EXPECT_EQ(settings_.values[kOftenIndex], "11");
  EXPECT_EQ(window_->CurrentInterval(), 86400);
  Click(form_.Check13, &MainWindow::Check13_Click);
  window_->SetElapsedSeconds(100);
  form_.List1.ListIndex = 0;
  window_->List1_Click();
  window_->Timer1_Timer();
  EXPECT_EQ(form_.ProgressBar1.Max, 300);
  EXPECT_EQ(window_->ElapsedSeconds(), 101);

  // Past the new, shorter interval: the next tick runs at once and the count starts again.
  window_->SetElapsedSeconds(1000);
  window_->Timer1_Timer();
  EXPECT_FALSE(TypedUrlPresent());
  EXPECT_EQ(window_->ElapsedSeconds(), 0);
}

TEST_F(MainWindowTest, DeleteNowLeavesTheScheduleAlone) {
  Start();
  Click(form_.Check13, &MainWindow::Check13_Click);
  window_->SetElapsedSeconds(120);
  Click(form_.Check12, &MainWindow::Check12_Click);
  EXPECT_EQ(window_->ElapsedSeconds(), 120);
}

TEST_F(MainWindowTest, IntervalsByTheirText) {
  Start();
  const int seconds[] = {300, 600, 900, 1200, 1800, 3600, 7200, 14400, 28800, 57600, 86400};
  for (int index = 0; index < 11; ++index) {
    form_.List1.ListIndex = index;
    EXPECT_EQ(window_->IntervalSeconds(), seconds[index]) << index;
  }
  form_.List1.ListIndex = -1;
  EXPECT_EQ(window_->IntervalSeconds(), 0);
  form_.List1.ListIndex = 0;
  form_.List1.items[0] = "delete every 5 minutes";
  EXPECT_EQ(window_->IntervalSeconds(), 0) << "the text is compared with its case";

  window_->SetProgress(300, 301);
  EXPECT_EQ(form_.ProgressBar1.Max, 300);
  EXPECT_NE(form_.ProgressBar1.Value, 301);
}

TEST_F(MainWindowTest, MinimisingHidesIntoTheTrayAndADoubleClickBringsItBack) {
  Start();
  face_.state = WindowState::kMinimized;
  window_->Form_Resize();
  EXPECT_FALSE(face_.visible);
  EXPECT_EQ(face_.state, WindowState::kNormal);
  EXPECT_TRUE(window_->HiddenInTray());

  // The shell's double click arrives through the hook on the icon's window.
  ASSERT_TRUE(notify_area_.hook);
  notify_area_.hook(42, mSysTray::TRAY_CALLBACK_MESSAGE, 0, kWmLButtonDblClk, {});
  EXPECT_TRUE(face_.visible);
  EXPECT_FALSE(window_->HiddenInTray());

  face_.state = WindowState::kMinimized;
  window_->Form_Resize();
  EXPECT_FALSE(face_.visible) << "a second minimise hides it again";
}

TEST_F(MainWindowTest, WithoutANotificationAreaMinimisingOnlyMinimises) {
  face_.notification_area = false;
  Start();
  face_.state = WindowState::kMinimized;
  window_->Form_Resize();
  EXPECT_TRUE(face_.visible);
  EXPECT_EQ(face_.state, WindowState::kMinimized);
  EXPECT_FALSE(window_->HiddenInTray());
}

TEST_F(MainWindowTest, ClosingRemovesTheIconAndEndsTheProgram) {
  settings_.values[kBackupSwitch] = "On";
  Start();
  window_->Form_QueryUnload();
  EXPECT_EQ(notify_area_.calls.back().message, kNimDelete);
  EXPECT_GE(desktop_.pending_passes, 1);
  window_->Form_Unload();
  EXPECT_TRUE(face_.quit);
  EXPECT_EQ(settings_.values[kBackupSwitch], "On");
}

TEST_F(MainWindowTest, AClosedWindowDoesNotWaitOutThePauseAfterDeleteNow) {
  Start();
  bool closing = false;
  desktop_.on_events = [this, &closing] {
    if (closing)
      return;
    closing = true;  // the close request, once
    window_->Form_QueryUnload();
    window_->Form_Unload();
  };
  const double before = desktop_.now;
  Click(form_.Check12, &MainWindow::Check12_Click);
  EXPECT_TRUE(face_.quit);
  EXPECT_LT(desktop_.now - before, 1.0);
}

TEST_F(MainWindowTest, HoverShowsTheHandOverThePictureButtonsOnly) {
  Start();
  window_->MouseMove(Surface::kCheck12);
  EXPECT_EQ(form_.MousePointer, Pointer::kCustom);
  window_->MouseMove(Surface::kFrame3);
  EXPECT_EQ(form_.MousePointer, Pointer::kDefault);
  window_->MouseMove(Surface::kCheck11);
  window_->MouseMove(Surface::kList1);
  EXPECT_EQ(form_.MousePointer, Pointer::kDefault);
  form_.MousePointer = Pointer::kBusy;
  for (const Surface surface : {Surface::kForm, Surface::kCheck13})
    window_->MouseMove(surface);
  EXPECT_EQ(form_.MousePointer, Pointer::kBusy);
}

TEST_F(MainWindowTest, ViewSaveLogOpensTheLogBesideTheProgram) {
  Start();
  Click(form_.Check11, &MainWindow::Check11_Click);
  EXPECT_EQ(form_.Check11.Value, kUnticked);
  ASSERT_EQ(desktop_.started.size(), 1u);
  EXPECT_EQ(desktop_.started[0].program, kTextViewer);
  EXPECT_EQ(desktop_.started[0].argument, program_folder_ + kPathSeparator + "backups.log")
      << "one argument, spaces and all";
  EXPECT_EQ(desktop_.started[0].show, ShowStyle::kNormal);

  window_->Check11_Click();  // the call that unticking causes
  EXPECT_EQ(desktop_.started.size(), 1u);

  desktop_.can_start = false;
  Click(form_.Check11, &MainWindow::Check11_Click);
  EXPECT_EQ(form_.Label5.Caption(), std::string("Cannot start ") + kTextViewer + ".");
}

TEST(WindowHelpers, FileExists) {
  testing::TempDir dir;
  testing::WriteFile(dir / "present", "x");
  EXPECT_TRUE(FileExists(Utf8FromPath(dir / "present")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(Utf8FromPath(dir / "missing")));
  EXPECT_FALSE(FileExists(Utf8FromPath(dir / "missing" / "file")));
}

}  // namespace
}  // namespace larkspur
