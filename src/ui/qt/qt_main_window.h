#pragma once
// The Linux face of the main window: Qt widgets built from the control table, showing Form1 and
// forwarding every event to MainWindow.
#include <QCursor>
#include <QTimer>
#include <QWidget>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "app/form1.h"
#include "app/main_window.h"
#include "app/window_face.h"

class QAbstractButton;
class QCheckBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QToolButton;

namespace larkspur {

struct ControlRow;
class LogViewer;

class QtMainWindow final : public QWidget, public WindowFace {
  Q_OBJECT

 public:
  explicit QtMainWindow(Form1& form);

  // The behaviour behind the widgets; set once, before the first event.
  void Attach(MainWindow& behaviour) { behaviour_ = &behaviour; }

  // The widget that shows a control of the control table, by its name.
  QWidget* Control(const std::string& name) const;

  void Mirror() override;
  void RepaintNow() override;
  TwipsRect OuterRect() override;
  void MoveTo(double left, double top) override;
  double ScreenWidth() override;
  double ScreenHeight() override;
  WindowState State() override;
  void SetState(WindowState state) override;
  void Show() override;
  void Hide() override;
  bool HasNotificationArea() override;
  bool LoadCustomPointer(const std::string& path) override;
  bool ShowRunLog(const std::string& path) override;
  void Quit() override;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Build();
  QWidget* CreateControl(const ControlRow& row, QWidget* parent);
  void MirrorButton(const ControlRow& row, QAbstractButton* button);
  void ShowStatus();
  void MirrorPresence(QWidget* frame, std::string_view caption);
  void ShowPointer();
  void ButtonClicked(const ControlRow& row, bool checked);
  void ListSelected(const ControlRow& row, int index);

  Form1& form_;
  MainWindow* behaviour_ = nullptr;
  std::map<std::string, QWidget*> controls_;
  std::map<QObject*, Hover> hovers_;  // the widgets whose pointer moves go to the behaviour
  QListWidget* list1_ = nullptr;
  QLabel* label5_ = nullptr;
  QString status_;  // the whole text, of which the status line shows what fits
  QProgressBar* progress_ = nullptr;
  QTimer timer1_;
  LogViewer* log_viewer_ = nullptr;
  std::optional<QCursor> custom_pointer_;
  Pointer shown_pointer_ = Pointer::kDefault;
  std::map<QWidget*, QString> presence_tips_;  // an absent browser's frame: why
  bool closing_ = false;
  std::optional<QPoint> hidden_at_;  // where the window was when it hid into the tray
};

}  // namespace larkspur
