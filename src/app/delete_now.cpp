#include "app/main_window.h"

namespace larkspur {

void MainWindow::RunDeletion() {
  running_ = true;
  last_repaint_ = -1;
  engine_.RunDeletion();
  running_ = false;
}

void MainWindow::Check12_Click() {
  if (!form_.Check12.Ticked())
    return;  // the click that unticking causes
  form_.Check12.Value = kUnticked;
  saved_status_ = form_.Label5.Caption();
  form_.MousePointer = Pointer::kBusy;
  ports_.face.Mirror();
  RunDeletion();
  form_.MousePointer = Pointer::kDefault;
  form_.ProgressBar1.Value = 0;
  ports_.face.Mirror();
  Pause(5);
  form_.Label5.SetCaption(saved_status_);
  ports_.face.Mirror();
}

}  // namespace larkspur
