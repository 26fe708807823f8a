#include "app/main_window.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "app/cleanup_steps.h"
#include "app/run_summary.h"
#include "app/window_helpers.h"
#include "platform/path_text.h"
#include "platform/run_log_file.h"

namespace larkspur {

namespace {

// At most this many status-line repaints a second while a run is busy: enough to watch it go,
// too few to slow it down.
constexpr double kRepaintInterval = 1.0 / 30;

}  // namespace

MainWindow::MainWindow(Form1& form, CleanupEngine& engine, MainWindowPorts ports)
    : form_(form), engine_(engine), ports_(std::move(ports)) {
  form_.Label5.SetListener([this](const std::string&) { StatusChanged(); });
  ports_.tray.MouseDblClick = [this](std::int16_t, std::int32_t) { cSysTray1_MouseDblClick(); };
}

// Start-up, minimising into the tray and closing.

void MainWindow::Form_Load() {
  CenterOnScreen();
  form_.Caption = "Larkspur";

  const std::string pointer = ports_.program_folder + kPathSeparator + "HAND-M.CUR";
  if (FileExists(pointer))
    ports_.face.LoadCustomPointer(pointer);

  // The home-page invitation: about one start in a hundred, never at sign-in or on sample data.
  ports_.desktop.Randomize(ports_.desktop.SecondsSinceMidnight());
  const int draw = static_cast<int>(ports_.desktop.Rnd() * 100) + 1;
  if (draw == 7 && !ports_.start.in_tray && !ports_.start.demo)
    StartProgram(kWebViewer, kHomePage, ShowStyle::kMinimized);

  form_.List1.items.clear();
  for (const IntervalChoice& interval : kIntervals)
    form_.List1.items.emplace_back(interval.text);
  RestoreInterval();
  RestoreAutoDelete();
  RestoreTickedItems();
  RefreshPresence();

  form_.ProgressBar1.BackColor = 0x00FFFFFF;
  ports_.tray.SetTrayTip("Larkspur");
  ShowNextRunInTrayTip();
  ports_.tray.SetInTray(true);
  engine_.LoadCacheEntries();
  ShowChromiumBrowsersInTip();
  ports_.face.Mirror();
}

// "OftenIndex" holds the 1-based position; anything that names no entry selects the first.
void MainWindow::RestoreInterval() {
  const std::string stored = ports_.settings.GetSetting(kSettingsApplication, kSettingsSection,
                                                        "OftenIndex", kIntervals[0].text);
  bool fits = false;
  const int position = LeadingNumber(stored, &fits);
  const int count = static_cast<int>(form_.List1.items.size());
  form_.List1.ListIndex = fits && position >= 1 && position <= count ? position - 1 : 0;
  List1_Click();
}

// "BackupSwitch" is "On" or "Off", exactly; anything else leaves auto delete as created: off.
void MainWindow::RestoreAutoDelete() {
  const std::string stored =
      ports_.settings.GetSetting(kSettingsApplication, kSettingsSection, "BackupSwitch", "");
  if (stored == "Off") {
    form_.Check13.Caption = kAutoDeleteOff;
    form_.Label5.SetCaption("Auto Delete is Turned Off.");
    form_.Timer1.Interval = 0;
  } else if (stored == "On") {
    form_.Check13.Caption = kAutoDeleteOn;
    form_.Timer1.Interval = 1000;
  }
}

// "TickedItems" names the ticked boxes by their command-line items, "ie-history,firefox-cookies";
// without it (settings kept before it existed) every box starts unticked.
void MainWindow::RestoreTickedItems() {
  const std::string stored =
      ports_.settings.GetSetting(kSettingsApplication, kSettingsSection, "TickedItems", "");
  std::set<std::string_view> items;
  for (std::size_t start = 0; start <= stored.size();) {
    const std::size_t comma = std::min(stored.find(',', start), stored.size());
    std::string_view item = std::string_view(stored).substr(start, comma - start);
    // Written by hand, "a, b" names b too.
    item.remove_prefix(std::min(item.find_first_not_of(" \t"), item.size()));
    item.remove_suffix(item.size() - std::min(item.find_last_not_of(" \t") + 1, item.size()));
    items.insert(item);
    start = comma + 1;
  }
  for (const CleanupStep& step : kCleanupSteps)
    (form_.*step.box).Value = items.contains(step.item) ? kTicked : kUnticked;
}

void MainWindow::RefreshPresence() {
  form_.AbsentBrowsers = engine_.AbsentBrowsers();
}

StartView MainWindow::ViewAtStart() {
  if (!ports_.start.in_tray)
    return StartView::kShown;
  if (!ports_.face.HasNotificationArea())
    return StartView::kMinimized;
  hidden_in_tray_ = true;
  return StartView::kHidden;
}

void MainWindow::TickBox_Click() {
  std::string ticked;
  for (const CleanupStep& step : kCleanupSteps) {
    if (!(form_.*step.box).Ticked())
      continue;
    if (!ticked.empty())
      ticked += ',';
    ticked += step.item;
  }
  Save("TickedItems", ticked);
}

void MainWindow::Save(const char* key, const std::string& value) {
  if (ports_.settings.SaveSetting(kSettingsApplication, kSettingsSection, key, value) ||
      unsaved_said_)
    return;
  unsaved_said_ = true;  // once: every later click would fail the same way
  form_.Label5.SetCaption("The settings cannot be saved.");
}

void MainWindow::Form_Resize() {
  if (ports_.face.State() != WindowState::kMinimized || hidden_in_tray_)
    return;
  // Without a notification area a hidden window could never come back: it stays minimised.
  if (!ports_.face.HasNotificationArea())
    return;
  ports_.face.Hide();
  ports_.face.SetState(WindowState::kNormal);
  hidden_in_tray_ = true;
}

void MainWindow::cSysTray1_MouseDblClick() {
  RefreshPresence();  // a browser installed meanwhile
  ports_.face.Mirror();
  ports_.face.Show();
  hidden_in_tray_ = false;
}

void MainWindow::Form_QueryUnload() {
  unloading_ = true;
  ports_.tray.SetInTray(false);
  ports_.desktop.ProcessPendingEvents();
}

void MainWindow::Form_Unload() {
  ports_.face.Quit();
}

void MainWindow::TrayMenu_DeleteNow() {
  form_.Check12.Value = kTicked;
  Check12_Click();
}

void MainWindow::TrayMenu_Exit() {
  if (unloading_)
    return;
  Form_QueryUnload();
  Form_Unload();
}

bool MainWindow::StartsAtSignIn() {
  return ports_.autostart != nullptr && ports_.autostart->IsOn();
}

void MainWindow::TrayMenu_StartAtSignIn() {
  if (ports_.autostart == nullptr)
    return;
  const bool on = !ports_.autostart->IsOn();
  if (ports_.autostart->SetOn(on))
    return;
  form_.Label5.SetCaption(on ? "Start at sign-in could not be turned on."
                             : "Start at sign-in could not be turned off.");
  ports_.face.Mirror();
}

// "Delete Now" and the clean-up run.

void MainWindow::RunDeletion() {
  RefreshPresence();
  running_ = true;
  last_repaint_ = -1;
  engine_.RunTickedSteps();
  running_ = false;
  ShowChromiumBrowsersInTip();  // one may have been installed or removed since
}

void MainWindow::ShowChromiumBrowsersInTip() {
  if (!ports_.chromium_browsers)
    return;
  std::string found;
  for (const std::string& browser : ports_.chromium_browsers())
    found += (found.empty() ? "" : ", ") + browser;
  form_.Frame4ToolTipText =
      found.empty() ? "No Chromium browser found." : "Chromium browsers found: " + found + ".";
}

void MainWindow::Check12_Click() {
  if (!form_.Check12.Ticked())
    return;  // the click that unticking causes
  form_.Check12.Value = kUnticked;
  // A click (or the tray menu's entry) handled during the pause would run again inside this run.
  if (deleting_now_) {
    ports_.face.Mirror();
    return;
  }
  deleting_now_ = true;
  form_.MousePointer = Pointer::kBusy;
  ports_.face.Mirror();
  RunDeletion();
  LogRun("Delete Now");
  form_.MousePointer = Pointer::kDefault;
  form_.ProgressBar1.Value = 0;
  ports_.face.Mirror();
  // The summary stays on the status line until the next status text.
  Pause(5);
  deleting_now_ = false;
}

void MainWindow::LogRun(const char* started_by) {
  if (!RunLogFile(ports_.run_log)
           .Append(LogEntry(LocalTimestamp(), started_by, engine_.Record().Items())))
    form_.Label5.SetCaption(form_.Label5.Caption() + " The run could not be written to the log.");
}

void MainWindow::StatusChanged() {
  if (!running_)
    return;
  const double now = ports_.desktop.MonotonicSeconds();
  if (last_repaint_ >= 0 && now - last_repaint_ < kRepaintInterval)
    return;
  last_repaint_ = now;
  ports_.face.RepaintNow();
}

// The auto-delete scheduler.

void MainWindow::Check13_Click() {
  if (!form_.Check13.Ticked())
    return;  // the click that unticking causes
  form_.Check13.Value = kUnticked;
  std::string switched;
  if (form_.Check13.Caption == kAutoDeleteOff) {
    form_.Check13.Caption = kAutoDeleteOn;
    form_.Timer1.Interval = 1000;
    switched = "On";
  } else if (form_.Check13.Caption == kAutoDeleteOn) {
    form_.Check13.Caption = kAutoDeleteOff;
    form_.Timer1.Interval = 0;
    switched = "Off";
  }
  if (!switched.empty())
    Save("BackupSwitch", switched);
  ShowNextRunInTrayTip();
  ports_.face.Mirror();
}

void MainWindow::List1_Click() {
  Save("OftenIndex", std::to_string(form_.List1.ListIndex + 1));
  current_interval_ = IntervalSeconds();
  ShowNextRunInTrayTip();
}

void MainWindow::ShowNextRunInTrayTip() {
  std::string tip = "Larkspur";
  if (form_.Timer1.Interval > 0 && current_interval_ > 0) {
    const int due_in = std::max(current_interval_ - elapsed_seconds_, 0);
    const auto due = static_cast<long long>(ports_.desktop.SecondsSinceMidnight()) + due_in;
    tip = NextRunTip(static_cast<int>(due / 3600 % 24), static_cast<int>(due % 3600 / 60));
  }
  if (tip != ports_.tray.TrayTip())
    ports_.tray.SetTrayTip(tip);
}

int MainWindow::IntervalSeconds() const {
  const std::string selected = form_.List1.Text();
  for (const IntervalChoice& interval : kIntervals)
    if (selected == interval.text)
      return interval.seconds;
  return 0;
}

void MainWindow::SetProgress(int maximum, int value) {
  form_.ProgressBar1.Max = maximum;
  if (value > maximum)
    return;
  form_.ProgressBar1.Value = value;  // shown by the Mirror that ends the tick
}

void MainWindow::Timer1_Timer() {
  if (form_.Timer1.Interval == 0) {
    form_.Label5.SetCaption("Off.");
    ports_.face.Mirror();
    return;
  }
  current_interval_ = IntervalSeconds();
  ++elapsed_seconds_;
  SetProgress(current_interval_, elapsed_seconds_);
  // A count that a newly chosen, shorter interval has already passed runs at once too.
  if (current_interval_ > 0 && elapsed_seconds_ >= current_interval_) {
    form_.Timer1.Interval = 0;
    form_.Timer1.Enabled = false;
    form_.MousePointer = Pointer::kBusy;
    ports_.face.Mirror();
    RunDeletion();
    LogRun("timed run");
    form_.Timer1.Interval = 1000;
    form_.Timer1.Enabled = true;
    form_.MousePointer = Pointer::kDefault;
    elapsed_seconds_ = 0;
    ShowNextRunInTrayTip();
  }
  ports_.face.Mirror();
}

// The window helpers, hover feedback and "View Save Log".

void MainWindow::CenterOnScreen() {
  const TwipsRect outer = ports_.face.OuterRect();
  ports_.face.MoveTo((ports_.face.ScreenWidth() - outer.width) / 2.0,
                     (ports_.face.ScreenHeight() - outer.height) / 2.0);
}

// Events are handled while the time runs; the thread sleeps in between instead of spinning, and
// a clock that never goes back measures the time. A close request handled meanwhile ends the
// wait: the program is on its way out.
void MainWindow::Pause(double seconds) {
  const double start = ports_.desktop.MonotonicSeconds();
  for (;;) {
    const double left = seconds - (ports_.desktop.MonotonicSeconds() - start);
    if (left <= 0 || unloading_)
      return;
    ports_.desktop.WaitForEvents(left);
  }
}

void MainWindow::MouseMove(Hover hover) {
  if (form_.MousePointer == Pointer::kBusy)
    return;
  const Pointer wanted = hover == Hover::kHand ? Pointer::kCustom : Pointer::kDefault;
  if (form_.MousePointer == wanted)
    return;
  form_.MousePointer = wanted;
  ports_.face.Mirror();
}

void MainWindow::Check11_Click() {
  if (!form_.Check11.Ticked())
    return;  // the click that unticking causes
  form_.Check11.Value = kUnticked;
  ports_.face.Mirror();
  // Made first if missing, so that an editor opens it instead of offering to create it.
  RunLogFile log(ports_.run_log);
  if (!log.EnsureExists())
    form_.Label5.SetCaption("Cannot make the log.");
  else if (!ports_.face.ShowRunLog(log.Path()))
    StartProgram(kTextViewer, log.Path(), ShowStyle::kNormal);
  ports_.face.Mirror();
}

void MainWindow::StartProgram(const std::string& program, const std::string& argument,
                              ShowStyle show) {
  if (!ports_.desktop.StartProcess(program, argument, show))
    form_.Label5.SetCaption("Cannot start " + program + ".");
}

}  // namespace larkspur
