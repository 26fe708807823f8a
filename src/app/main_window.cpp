#include "app/main_window.h"

#include <cmath>

#include "platform/path_text.h"

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

void MainWindow::Form_Load() {
  CenterOnScreen();
  form_.Caption = "Larkspur";

  const std::string pointer = ports_.program_folder + kPathSeparator + "HAND-M.CUR";
  if (FileExists(pointer))
    ports_.face.LoadCustomPointer(pointer);

  // The home-page invitation: about one start in a hundred.
  ports_.desktop.Randomize(ports_.desktop.SecondsSinceMidnight());
  const int draw = static_cast<int>(ports_.desktop.Rnd() * 100) + 1;
  if (draw == 7)
    StartProgram(kWebViewer, kHomePage, ShowStyle::kMinimized);

  form_.List1.items.clear();
  for (const IntervalChoice& interval : kIntervals)
    form_.List1.items.emplace_back(interval.text);
  RestoreInterval();
  RestoreAutoDelete();

  form_.ProgressBar1.BackColor = 0x00FFFFFF;
  ports_.tray.SetTrayTip("Larkspur");
  ports_.tray.SetInTray(true);
  engine_.LoadCacheEntries();
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

void MainWindow::StatusChanged() {
  if (!running_)
    return;
  const double now = ports_.desktop.MonotonicSeconds();
  if (last_repaint_ >= 0 && now - last_repaint_ < kRepaintInterval)
    return;
  last_repaint_ = now;
  ports_.face.RepaintNow();
}

void MainWindow::StartProgram(const std::string& program, const std::string& argument,
                              ShowStyle show) {
  if (!ports_.desktop.StartProcess(program, argument, show))
    form_.Label5.SetCaption("Cannot start " + program + ".");
}

}  // namespace larkspur
