// The main window's behaviour without a window: start-up and the settings, "Delete Now", the
// auto-delete scheduler, minimising into the tray and closing, hover feedback, "View Save Log".
#include "app/main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "app/cleanup_steps.h"
#include "app/control_table.h"
#include "app/tray_menu.h"
#include "app/window_helpers.h"
#include "fakes/fake_folder_tree.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_url_cache.h"
#include "fakes/fake_url_history.h"
#include "fakes/fake_window.h"
#include "fakes/guarded_memory.h"
#include "iecleanup/registry1.h"
#include "platform/path_text.h"
#include "platform/sqlite/sqlite_bookmark_store.h"
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
    stores_.profiles = testing::NativeProfileFolders(dir_.str());
    stores_.user_data = testing::NativeUserDataFolders();
    stores_.bookmarks = std::make_unique<SqliteBookmarkStore>();
  }

  // Builds the window as the program does, with what the test has put in the stores.
  MainWindow& Start() {
    engine_ = std::make_unique<CleanupEngine>(form_, stores_);
    window_ = std::make_unique<MainWindow>(
        form_, *engine_,
        MainWindowPorts{face_, settings_, desktop_, tray_, program_folder_, run_log_,
                        chromium_browsers_, nullptr, start_});
    window_->Form_Load();
    return *window_;
  }

  // As a face does it: the control's tick, then its handler.
  void Click(std::string_view name) {
    const ControlRow& row = Row(name);
    if (row.box != nullptr)
      (form_.*row.box).Value = kTicked;
    (window_.get()->*row.click)();
  }
  void Tick(int times) {
    for (int tick = 0; tick < times; ++tick)
      window_->Timer1_Timer();
  }
  static const ControlRow& Row(std::string_view name) {
    for (const ControlRow& row : kControlTable)
      if (row.name == name)
        return row;
    throw std::invalid_argument(std::string(name));
  }

  bool TypedUrlPresent() {
    return !GetFromRegistry(*registry_, kHkeyCurrentUser, kTypedUrlsKey, "url1", "").empty();
  }
  void AddTypedUrl() { registry_->PutString(kTypedUrlsKey, "url1", "http://typed.example/"); }

  testing::TempDir dir_;
  std::string program_folder_ = Utf8FromPath(dir_ / "Program Files" / "Larkspur");
  std::string run_log_ = Utf8FromPath(dir_ / "state" / "larkspur" / "larkspur.log");
  std::function<std::vector<std::string>()> chromium_browsers_;
  WindowStart start_;
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

TEST_F(MainWindowTest, TheChromeFrameTipNamesTheChromiumBrowsersFoundAtStartAndAfterARun) {
  std::vector<std::string> found;
  chromium_browsers_ = [&found] { return found; };
  Start();
  EXPECT_EQ(form_.Frame4ToolTipText, "No Chromium browser found.");
  found = {"Google Chrome", "Brave"};
  Click("Check12");
  EXPECT_EQ(form_.Frame4ToolTipText, "Chromium browsers found: Google Chrome, Brave.");
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

TEST_F(MainWindowTest, TickedItemsAreKeptForTheNextStart) {
  settings_.values[kBackupSwitch] = "On";
  Start();
  EXPECT_FALSE(form_.chkIETyped.Ticked()) << "nothing stored: every box starts unticked";
  Click("chkIETyped");
  Click("chkCookies");
  EXPECT_EQ(settings_.values["Quillmark/Larkspur/TickedItems"], "ie-typed-urls,firefox-cookies");

  // The next start, with auto delete on, erases what the user chose.
  form_ = Form1();
  Start();
  EXPECT_TRUE(form_.chkIETyped.Ticked());
  EXPECT_TRUE(form_.chkCookies.Ticked());
  EXPECT_FALSE(form_.chkIEHist.Ticked());
  AddTypedUrl();
  Tick(300);
  EXPECT_FALSE(TypedUrlPresent());

  form_.chkIETyped.Value = kUnticked;
  window_->TickBox_Click();
  form_.chkCookies.Value = kUnticked;
  window_->TickBox_Click();
  EXPECT_EQ(settings_.values["Quillmark/Larkspur/TickedItems"], "");

  settings_.values["Quillmark/Larkspur/TickedItems"] = "ie-history,,no-such-item, ie-cookies\t";
  form_ = Form1();
  Start();
  EXPECT_TRUE(form_.chkIEHist.Ticked());
  EXPECT_TRUE(form_.chkIECookies.Ticked());
  EXPECT_FALSE(form_.chkIETemp.Ticked());
}

TEST_F(MainWindowTest, SettingsThatCannotBeSavedAreSaidOnce) {
  settings_.writable = false;
  Start();
  EXPECT_EQ(form_.Label5.Caption(), "The settings cannot be saved.");
  form_.Label5.SetCaption("");
  Click("chkCookies");
  EXPECT_EQ(form_.Label5.Caption(), "");
  EXPECT_TRUE(form_.chkCookies.Ticked()) << "the box keeps its tick for this session";
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

// --tray, as at sign-in: hidden where the notification area can bring the window back, else
// minimised; no home-page invitation then, nor on sample data.
TEST_F(MainWindowTest, StartedInTheTrayItHidesThereOrMinimisesAndInvitesNobody) {
  desktop_.draw = 0.06;
  start_ = {"", false, true};
  EXPECT_EQ(Start().ViewAtStart(), StartView::kHidden);
  face_.notification_area = false;
  EXPECT_EQ(Start().ViewAtStart(), StartView::kMinimized);
  start_ = {"", true, false};
  EXPECT_EQ(Start().ViewAtStart(), StartView::kShown);
  EXPECT_TRUE(desktop_.started.empty());
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

TEST_F(MainWindowTest, DeleteNowRunsOnceAndLeavesItsSummaryAndALogEntry) {
  settings_.values[kBackupSwitch] = "Off";
  AddTypedUrl();
  Start();
  form_.chkIETyped.Value = kTicked;
  form_.ProgressBar1.Value = 40;
  std::vector<std::string> status_during_pause;
  desktop_.on_events = [&] { status_during_pause.push_back(form_.Label5.Caption()); };
  const double before = desktop_.now;

  Click("Check12");

  EXPECT_FALSE(TypedUrlPresent());
  EXPECT_EQ(form_.Check12.Value, kUnticked);
  EXPECT_EQ(form_.ProgressBar1.Value, 0);
  EXPECT_GE(desktop_.now - before, 5.0) << "the pause lasts five seconds";
  EXPECT_LT(desktop_.now - before, 5.5);
  ASSERT_FALSE(status_during_pause.empty()) << "events are handled during the pause";
  EXPECT_EQ(status_during_pause.front(), "Erased 1 item (22 bytes).");
  EXPECT_EQ(form_.Label5.Caption(), "Erased 1 item (22 bytes).") << "until the next status text";
  const std::string log = testing::ReadFile(PathFromUtf8(run_log_));
  EXPECT_THAT(log,
              ::testing::EndsWith(
                  " Delete Now: Erased 1 item (22 bytes). ie-typed-urls: 1 erased (22 bytes).\n"));
  EXPECT_THAT(log, ::testing::Not(::testing::HasSubstr("example")));
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
  Click("Check13");
  EXPECT_EQ(form_.Check13.Caption, kAutoDeleteOn);
  EXPECT_EQ(form_.Check13.Value, kUnticked);
  EXPECT_EQ(settings_.values[kBackupSwitch], "On");
  EXPECT_TRUE(form_.Timer1.Ticking());

  Tick(1);
  EXPECT_EQ(form_.ProgressBar1.Max, 300);
  EXPECT_EQ(form_.ProgressBar1.Value, 1);
  Tick(298);
  EXPECT_TRUE(TypedUrlPresent()) << "not before the 300th tick";
  face_.timer_seen.clear();
  Tick(1);
  EXPECT_FALSE(TypedUrlPresent());
  EXPECT_FALSE(face_.timer_seen.front()) << "the timer is stopped during the run";
  EXPECT_TRUE(form_.Timer1.Ticking());
  EXPECT_EQ(form_.Label5.Caption(), "Erased 1 item (22 bytes).");
  EXPECT_THAT(
      testing::ReadFile(PathFromUtf8(run_log_)),
      ::testing::HasSubstr(" timed run: Erased 1 item (22 bytes). ie-typed-urls: 1 erased"));
  Tick(1);
  EXPECT_EQ(form_.ProgressBar1.Value, 1) << "the count starts again";

  // Off at 200, on again: the run comes 100 ticks later.
  AddTypedUrl();
  Tick(199);
  Click("Check13");
  EXPECT_EQ(settings_.values[kBackupSwitch], "Off");
  EXPECT_FALSE(form_.Timer1.Ticking());
  Tick(1);  // a tick already on its way
  EXPECT_EQ(form_.Label5.Caption(), "Off.");
  EXPECT_EQ(form_.ProgressBar1.Value, 200);
  Click("Check13");
  Tick(99);
  EXPECT_TRUE(TypedUrlPresent());
  EXPECT_EQ(form_.ProgressBar1.Value, 299);
  Tick(1);
  EXPECT_FALSE(TypedUrlPresent());
}

TEST_F(MainWindowTest, TheTrayTipSaysWhenTheNextTimedRunIsDue) {
  desktop_.since_midnight = 14 * 3600 + 30 * 60;  // 14:30:00
  settings_.values[kBackupSwitch] = "On";
  Start();
  EXPECT_EQ(tray_.TrayTip(), "Larkspur: next run at 14:35");

  Tick(100);
  form_.List1.ListIndex = 1;  // every 10 minutes: 500 seconds to go
  window_->List1_Click();
  EXPECT_EQ(tray_.TrayTip(), "Larkspur: next run at 14:38");

  desktop_.since_midnight = 23 * 3600 + 55 * 60;  // the next run falls after midnight
  Tick(500);
  EXPECT_EQ(tray_.TrayTip(), "Larkspur: next run at 00:05");

  Click("Check13");  // off
  EXPECT_EQ(tray_.TrayTip(), "Larkspur");
}

TEST_F(MainWindowTest, ChangingTheIntervalKeepsTheCount) {
  Start();
  AddTypedUrl();
  form_.chkIETyped.Value = kTicked;
  form_.List1.ListIndex = 10;
  Click("List1");
  EXPECT_EQ(settings_.values[kOftenIndex], "11");
  Click("Check13");
  Tick(100);
  EXPECT_EQ(form_.ProgressBar1.Max, 86400);
  form_.List1.ListIndex = 0;
  Click("List1");
  Tick(1);
  EXPECT_EQ(form_.ProgressBar1.Max, 300);
  EXPECT_EQ(form_.ProgressBar1.Value, 101);

  // Past the new, shorter interval: the next tick runs at once, the bar keeps the last count it
  // could show, and the count starts again.
  form_.List1.ListIndex = 10;
  Click("List1");
  Tick(299);
  EXPECT_EQ(form_.ProgressBar1.Value, 400);
  form_.List1.ListIndex = 0;
  Click("List1");
  EXPECT_TRUE(TypedUrlPresent());
  Tick(1);
  EXPECT_FALSE(TypedUrlPresent());
  EXPECT_EQ(form_.ProgressBar1.Max, 300);
  EXPECT_EQ(form_.ProgressBar1.Value, 400);
  Tick(1);
  EXPECT_EQ(form_.ProgressBar1.Value, 1);
}

TEST_F(MainWindowTest, DeleteNowLeavesTheScheduleAlone) {
  Start();
  Click("Check13");
  Tick(120);
  Click("Check12");
  EXPECT_EQ(form_.ProgressBar1.Value, 0);
  Tick(1);
  EXPECT_EQ(form_.ProgressBar1.Value, 121);
}

TEST_F(MainWindowTest, TheIntervalComesFromTheSelectedText) {
  Start();
  Click("Check13");
  const auto interval_of = [this](int index) {
    form_.List1.ListIndex = index;
    Tick(1);
    return form_.ProgressBar1.Max;
  };
  EXPECT_EQ(interval_of(0), 300);
  EXPECT_EQ(interval_of(5), 3600);
  EXPECT_EQ(interval_of(8), 28800);
  EXPECT_EQ(interval_of(10), 86400);
  EXPECT_EQ(interval_of(-1), 0) << "nothing selected";
  form_.List1.items[0] = "delete every 5 minutes";
  EXPECT_EQ(interval_of(0), 0) << "the text is compared with its case";
}

TEST_F(MainWindowTest, MinimisingHidesIntoTheTrayAndADoubleClickBringsItBack) {
  Start();
  face_.state = WindowState::kMinimized;
  window_->Form_Resize();
  EXPECT_FALSE(face_.visible);
  EXPECT_EQ(face_.state, WindowState::kNormal);
  face_.state = WindowState::kMinimized;
  window_->Form_Resize();
  EXPECT_EQ(face_.state, WindowState::kMinimized) << "hidden already: nothing more to do";

  // The shell's double click arrives through the hook on the icon's window.
  ASSERT_TRUE(notify_area_.hook);
  notify_area_.hook(42, mSysTray::TRAY_CALLBACK_MESSAGE, 0, kWmLButtonDblClk, {});
  EXPECT_TRUE(face_.visible);

  face_.state = WindowState::kMinimized;
  window_->Form_Resize();
  EXPECT_FALSE(face_.visible) << "a second minimise hides it again";
}

TEST_F(MainWindowTest, TheTrayMenuShowsDeletesAndExits) {
  auto choose = [this](std::string_view caption) {
    for (const TrayMenuRow& row : kTrayMenu)
      if (row.caption == caption)
        return (window_.get()->*row.choose)();
    FAIL() << "no menu entry " << caption;
  };
  AddTypedUrl();
  Start();
  form_.chkIETyped.Value = kTicked;
  face_.state = WindowState::kMinimized;
  window_->Form_Resize();
  ASSERT_FALSE(face_.visible);

  choose("Delete Now");
  EXPECT_FALSE(TypedUrlPresent());
  EXPECT_EQ(form_.Check12.Value, kUnticked);
  EXPECT_FALSE(face_.visible) << "deleting from the tray leaves the window where it is";

  // Chosen again while the pause after a run handles events, it does not run inside that run.
  int runs = 0;
  form_.Label5.SetListener(
      [&runs](const std::string& text) { runs += text == "Deleting Typed Urls In IE..."; });
  bool chosen_again = false;
  desktop_.on_events = [&] {
    if (!std::exchange(chosen_again, true))
      choose("Delete Now");
  };
  choose("Delete Now");
  EXPECT_TRUE(chosen_again);
  EXPECT_EQ(runs, 1);
  desktop_.on_events = nullptr;

  choose("Show Larkspur");
  EXPECT_TRUE(face_.visible);
  face_.state = WindowState::kMinimized;
  window_->Form_Resize();
  EXPECT_FALSE(face_.visible) << "shown from the menu, it hides again when minimised";

  choose("Exit");
  EXPECT_EQ(notify_area_.calls.back().message, kNimDelete);
  EXPECT_TRUE(face_.quit);
}

TEST_F(MainWindowTest, WithoutANotificationAreaMinimisingOnlyMinimises) {
  face_.notification_area = false;
  Start();
  face_.state = WindowState::kMinimized;
  window_->Form_Resize();
  EXPECT_TRUE(face_.visible);
  EXPECT_EQ(face_.state, WindowState::kMinimized);
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
  Click("Check12");
  EXPECT_TRUE(face_.quit);
  EXPECT_LT(desktop_.now - before, 1.0);
}

TEST_F(MainWindowTest, HoverShowsTheHandOverThePictureButtonsOnly) {
  Start();
  const auto pointer_over = [this](std::string_view name) {
    window_->MouseMove(Row(name).hover);
    return form_.MousePointer;
  };
  EXPECT_EQ(pointer_over("Check12"), Pointer::kCustom);
  EXPECT_EQ(pointer_over("Frame3"), Pointer::kDefault);
  EXPECT_EQ(pointer_over("Check11"), Pointer::kCustom);
  EXPECT_EQ(pointer_over("List1"), Pointer::kDefault);
  EXPECT_EQ(pointer_over("Check13"), Pointer::kCustom);
  window_->MouseMove(Hover::kArrow);  // the window's own surface
  EXPECT_EQ(form_.MousePointer, Pointer::kDefault);
  form_.MousePointer = Pointer::kBusy;
  EXPECT_EQ(pointer_over("Check13"), Pointer::kBusy);
  window_->MouseMove(Hover::kArrow);
  EXPECT_EQ(form_.MousePointer, Pointer::kBusy);

  // The other controls have no pointer handler.
  std::vector<std::string_view> followed;
  for (const ControlRow& row : kControlTable)
    if (row.hover != Hover::kNone)
      followed.push_back(row.name);
  EXPECT_THAT(followed,
              ::testing::UnorderedElementsAre("Check11", "Check12", "Check13", "Frame3", "List1"));
}

TEST_F(MainWindowTest, ListSelectionReachesItsHandler) {
  Start();
  form_.List1.ListIndex = 3;
  Click("List1");
  EXPECT_EQ(settings_.values[kOftenIndex], "4");
}

// Each clean-up step's box is shown by one tick box in the frame captioned with its browser,
// which only holds it.
TEST(ControlTable, EveryCleanupBoxHasItsTickBox) {
  for (const CleanupStep& step : kCleanupSteps) {
    int shown = 0;
    for (const ControlRow& row : kControlTable) {
      if (row.box != step.box)
        continue;
      ++shown;
      EXPECT_EQ(row.kind, ControlKind::kTickBox) << step.item;
      for (const ControlRow& frame : kControlTable)
        EXPECT_TRUE(frame.name != row.parent || frame.caption == step.browser) << step.item;
      EXPECT_EQ(row.click, &MainWindow::TickBox_Click) << step.item << ": a tick is kept";
    }
    EXPECT_EQ(shown, 1) << step.item;
  }
}

TEST_F(MainWindowTest, ViewSaveLogOpensTheUsersRunLogMadeIfMissing) {
  Start();
  Click("Check11");
  EXPECT_EQ(form_.Check11.Value, kUnticked);
  ASSERT_EQ(desktop_.started.size(), 1u);
  EXPECT_EQ(desktop_.started[0].program, kTextViewer);
  EXPECT_EQ(desktop_.started[0].argument, run_log_) << "one argument, spaces and all";
  EXPECT_TRUE(std::filesystem::is_regular_file(PathFromUtf8(run_log_)))
      << "the editor finds the log there even before the first run";
  EXPECT_EQ(desktop_.started[0].show, ShowStyle::kNormal);

  window_->Check11_Click();  // the call that unticking causes
  EXPECT_EQ(desktop_.started.size(), 1u);

  desktop_.can_start = false;
  Click("Check11");
  EXPECT_EQ(form_.Label5.Caption(), std::string("Cannot start ") + kTextViewer + ".");

  run_log_.clear();  // no folder for per-user state
  Start();
  desktop_.can_start = true;
  Click("Check11");
  EXPECT_EQ(desktop_.started.size(), 2u);
  EXPECT_EQ(form_.Label5.Caption(), "Cannot make the log.");
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
