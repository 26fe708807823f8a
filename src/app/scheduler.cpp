#include <string>

#include "app/main_window.h"

namespace larkspur {

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
    ports_.settings.SaveSetting(kSettingsApplication, kSettingsSection, "BackupSwitch", switched);
  ports_.face.Mirror();
}

void MainWindow::List1_Click() {
  ports_.settings.SaveSetting(kSettingsApplication, kSettingsSection, "OftenIndex",
                              std::to_string(form_.List1.ListIndex + 1));
  current_interval_ = IntervalSeconds();
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
  form_.ProgressBar1.Value = value;
  ports_.face.RepaintNow();
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
    form_.Timer1.Interval = 1000;
    form_.Timer1.Enabled = true;
    form_.MousePointer = Pointer::kDefault;
    elapsed_seconds_ = 0;
  }
  ports_.face.Mirror();
}

}  // namespace larkspur
