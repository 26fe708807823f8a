#include "ui/qt/qt_main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QWindowStateChangeEvent>

#include "app/control_table.h"
#include "ui/accessible_names.h"
#include "ui/qt/log_viewer.h"
#include "ui/qt/qt_accessibility.h"
#include "ui/qt/qt_look.h"
#include "ui/qt/status_text.h"

namespace larkspur {

namespace {

constexpr double kTwips = kTwipsPerPixel;  // twips per logical pixel

int Px(int twips) {
  return static_cast<int>(twips / kTwips + 0.5);
}

QFont LayoutFont(double points) {
  QFont font("Arial");
  font.setPointSizeF(points);
  font.setBold(true);
  return font;
}

// A cursor file's hot spot, where its first image entry keeps it; Qt's reader reads only the
// picture. (-1, -1), the picture's centre, for anything else.
QPoint CursorHotSpot(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly))
    return {-1, -1};
  const QByteArray head = file.read(14);
  const auto byte = [&head](int at) { return static_cast<unsigned char>(head[at]); };
  if (head.size() < 14 || byte(0) != 0 || byte(1) != 0 || byte(2) != 2 || byte(3) != 0)
    return {-1, -1};
  return {byte(10) | byte(11) << 8, byte(12) | byte(13) << 8};
}

}  // namespace

QtMainWindow::QtMainWindow(Form1& form) : QWidget(nullptr), form_(form) {
  Build();
  connect(&timer1_, &QTimer::timeout, this, [this] {
    if (behaviour_ != nullptr)
      behaviour_->Timer1_Timer();
  });
}

QWidget* QtMainWindow::Control(const std::string& name) const {
  const auto found = controls_.find(name);
  return found == controls_.end() ? nullptr : found->second;
}

void QtMainWindow::Build() {
  setWindowTitle(QString::fromStdString(form_.Caption));
  // Fixed size, with close and minimise but no maximise.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(Px(kClientWidth), Px(kClientHeight));
  PaintLaidOut(this);
  setMouseTracking(true);
  hovers_[this] = Hover::kArrow;

  std::map<int, QWidget*> by_tab_index;
  for (const ControlRow& row : kControlTable) {
    const std::string name(row.name);
    QWidget* widget =
        CreateControl(row, row.parent.empty() ? this : controls_.at(std::string(row.parent)));
    widget->setObjectName(QString::fromStdString(name));
    widget->setGeometry(Px(row.left), Px(row.top), Px(row.width), Px(row.height));
    if (row.points > 0)
      widget->setFont(LayoutFont(row.points));
    // Every control has text and background of its own, so that no theme makes either alone.
    PaintLaidOut(widget);
    if (!row.caption.empty())
      widget->setAccessibleName(
          QString::fromStdString(AccessibleName(row, std::string(row.caption))));
    if (row.hover != Hover::kNone) {
      widget->setMouseTracking(true);
      hovers_[widget] = row.hover;
    }
    controls_[name] = widget;
    if (row.kind != ControlKind::kFrame && row.kind != ControlKind::kLabel)
      by_tab_index[row.tab_index] = widget;
  }
  // The parts a control makes itself (the list's scroll bar) take no palette from a frame that
  // has a style sheet: they get it here.
  for (QWidget* part : findChildren<QWidget*>())
    part->setPalette(LaidOutPalette());
  if (list1_ != nullptr) {
    // The list's items are drawn on its viewport, which gets the pointer's moves.
    list1_->viewport()->setMouseTracking(true);
    hovers_[list1_->viewport()] = hovers_.at(list1_);
  }
  for (auto& [object, hover] : hovers_)
    object->installEventFilter(this);

  QWidget* previous = nullptr;
  for (const auto& [index, widget] : by_tab_index) {
    if (previous != nullptr)
      QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
  for (const auto& [name, widget] : controls_)
    if (widget != list1_ && dynamic_cast<QAbstractButton*>(widget) == nullptr)
      widget->setFocusPolicy(Qt::NoFocus);
  by_tab_index.begin()->second->setFocus();  // Command1, outside the window: no focus mark shows
}

QWidget* QtMainWindow::CreateControl(const ControlRow& row, QWidget* parent) {
  const QString caption = QString::fromUtf8(row.caption.data(), row.caption.size());
  switch (row.kind) {
    case ControlKind::kFocusButton: {
      // Off screen, only there to hold the focus at start. Hidden before it has a parent or a
      // text, each of which would make it known to assistive technology as it is.
      auto* button = new QPushButton();
      HideFromAssistance(button);
      button->setParent(parent);
      button->setText(caption);
      button->setFlat(true);
      return button;
    }
    case ControlKind::kFrame: {
      auto* frame = new QGroupBox(caption, parent);
      DrawTitleOnFrameLine(frame);
      return frame;
    }
    case ControlKind::kTickBox: {
      auto* box = new QCheckBox(caption, parent);
      connect(box, &QCheckBox::clicked, this,
              [this, &row](bool checked) { ButtonClicked(row, checked); });
      return box;
    }
    case ControlKind::kPictureButton: {
      // A push button to the user and to assistive technology; its tick in Form1 is the press.
      auto* button = new QToolButton(parent);
      button->setText(caption);
      button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
      button->setIcon(DrawnPicture(
          QString::fromUtf8(row.picture.data(), static_cast<int>(row.picture.size())), 32));
      button->setIconSize(QSize(32, 32));
      button->installEventFilter(this);  // Enter presses it as Space does
      connect(button, &QToolButton::clicked, this, [this, &row] { ButtonClicked(row, true); });
      return button;
    }
    case ControlKind::kListBox:
      list1_ = new QListWidget(parent);
      list1_->setSelectionMode(QAbstractItemView::SingleSelection);
      list1_->setAccessibleName(QString::fromUtf8(kListName));
      connect(list1_, &QListWidget::currentRowChanged, this,
              [this, &row](int index) { ListSelected(row, index); });
      return list1_;
    case ControlKind::kProgressBar:
      progress_ = new QProgressBar(parent);
      progress_->setTextVisible(false);
      progress_->setAccessibleName(QString::fromUtf8(kProgressName));
      return progress_;
    case ControlKind::kLabel:
      label5_ = new QLabel(parent);
      label5_->setTextFormat(Qt::PlainText);  // a file or profile name is never markup
      label5_->setAccessibleName(QString::fromUtf8(kStatusName));
      return label5_;
  }
  return nullptr;
}

// A tick box takes the new tick; a picture button's handler unticks it again.
void QtMainWindow::ButtonClicked(const ControlRow& row, bool checked) {
  (form_.*row.box).Value = checked ? kTicked : kUnticked;
  if (row.click == nullptr)
    return;
  if (behaviour_ != nullptr)
    (behaviour_->*row.click)();
  Mirror();
}

void QtMainWindow::ListSelected(const ControlRow& row, int index) {
  if (index < 0 || index == form_.List1.ListIndex || behaviour_ == nullptr)
    return;
  form_.List1.ListIndex = index;
  (behaviour_->*row.click)();
}

void QtMainWindow::MirrorButton(const ControlRow& row, QAbstractButton* button) {
  const CheckBox& box = form_.*row.box;
  const QSignalBlocker quiet(button);
  button->setText(QString::fromStdString(box.Caption));
  button->setChecked(box.Ticked());  // a picture button is no tick box: it keeps no tick
  const QString name = QString::fromStdString(AccessibleName(row, box.Caption));
  if (button->accessibleName() != name)
    button->setAccessibleName(name);
}

// A group whose browser is absent is disabled, its boxes with it; the tooltip says why, on the
// boxes too, since a disabled box passes no tooltip request on.
void QtMainWindow::MirrorPresence(QWidget* frame, std::string_view caption) {
  const auto absent = form_.AbsentBrowsers.find(caption);
  const bool found = absent == form_.AbsentBrowsers.end();
  frame->setEnabled(found);
  const QString why = found ? QString() : QString::fromStdString(absent->second);
  // Only the tips it set itself: a present browser's frame may have a tip of its own.
  QString& shown = presence_tips_[frame];
  if (shown == why)
    return;
  shown = why;
  frame->setToolTip(why);
  for (QWidget* box : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    box->setToolTip(why);
}

void QtMainWindow::Mirror() {
  setWindowTitle(QString::fromStdString(form_.Caption));
  for (const ControlRow& row : kControlTable) {
    QWidget* widget = controls_.at(std::string(row.name));
    if (row.box != nullptr)
      MirrorButton(row, static_cast<QAbstractButton*>(widget));
    else if (row.kind == ControlKind::kFrame)
      MirrorPresence(widget, row.caption);
    // The controls inside without a tip of their own show their frame's; an absent browser's
    // frame says why instead.
    if (row.tip != nullptr && !form_.AbsentBrowsers.contains(row.caption) &&
        widget->toolTip().toStdString() != form_.*row.tip)
      widget->setToolTip(QString::fromStdString(form_.*row.tip));
  }

  {
    const QSignalBlocker quiet(list1_);
    if (list1_->count() != static_cast<int>(form_.List1.items.size())) {
      list1_->clear();
      for (const std::string& item : form_.List1.items)
        list1_->addItem(QString::fromStdString(item));
    }
    list1_->setCurrentRow(form_.List1.ListIndex);
  }

  ShowStatus();
  const ProgressBar& bar = form_.ProgressBar1;
  progress_->setRange(bar.Min, bar.Max);
  if (bar.Value >= bar.Min && bar.Value <= bar.Max)
    progress_->setValue(bar.Value);
  // A new palette repaints the bar, even the same one: only when the colour changes.
  const QColor back = QColor::fromRgb(bar.BackColor & 0xFF, (bar.BackColor >> 8) & 0xFF,
                                      (bar.BackColor >> 16) & 0xFF);
  if (bar.BackColor != ProgressBar::kSystemColour &&
      (progress_->palette().color(QPalette::Base) != back ||
       progress_->palette().color(QPalette::Window) != back)) {
    QPalette palette = progress_->palette();
    palette.setColor(QPalette::Base, back);
    palette.setColor(QPalette::Window, back);
    progress_->setPalette(palette);
  }

  // Each change of the pointer goes to the display server: only when it changes.
  if (form_.MousePointer != shown_pointer_)
    ShowPointer();

  if (!form_.Timer1.Ticking())
    timer1_.stop();
  else if (!timer1_.isActive() || timer1_.interval() != form_.Timer1.Interval)
    timer1_.start(form_.Timer1.Interval);
}

void QtMainWindow::ShowPointer() {
  shown_pointer_ = form_.MousePointer;
  switch (form_.MousePointer) {
    case Pointer::kBusy:
      setCursor(Qt::WaitCursor);
      break;
    case Pointer::kCustom:
      setCursor(custom_pointer_ ? *custom_pointer_ : QCursor(Qt::ArrowCursor));
      break;
    case Pointer::kDefault:
      unsetCursor();
      break;
  }
}

// The line shows what fits of the text, the tooltip and assistive technology get all of it; a
// new text is announced through the name's change.
void QtMainWindow::ShowStatus() {
  const QString text = QString::fromStdString(form_.Label5.Caption());
  if (text == status_)
    return;
  status_ = text;
  const QString shown =
      FitStatusText(text, label5_->fontMetrics(), label5_->contentsRect().width());
  label5_->setText(shown);
  label5_->setToolTip(shown == text ? QString() : text);
  label5_->setAccessibleName(text.isEmpty() ? QString::fromUtf8(kStatusName) : text);
}

bool QtMainWindow::ShowRunLog(const std::string& path) {
  if (log_viewer_ == nullptr)
    log_viewer_ = new LogViewer(this);
  log_viewer_->ShowLog(QString::fromStdString(path));
  return true;
}

void QtMainWindow::RepaintNow() {
  ShowStatus();
  const ProgressBar& bar = form_.ProgressBar1;
  progress_->setRange(bar.Min, bar.Max);
  if (bar.Value >= bar.Min && bar.Value <= bar.Max)
    progress_->setValue(bar.Value);
  if (form_.MousePointer == Pointer::kBusy && shown_pointer_ != Pointer::kBusy)
    ShowPointer();
  label5_->repaint();
  progress_->repaint();
}

TwipsRect QtMainWindow::OuterRect() {
  const QRect frame = frameGeometry();
  return {frame.x() * kTwips, frame.y() * kTwips, frame.width() * kTwips, frame.height() * kTwips};
}

void QtMainWindow::MoveTo(double left, double top) {
  move(static_cast<int>(left / kTwips), static_cast<int>(top / kTwips));
}

double QtMainWindow::ScreenWidth() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen == nullptr ? 0 : screen->geometry().width() * kTwips;
}

double QtMainWindow::ScreenHeight() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen == nullptr ? 0 : screen->geometry().height() * kTwips;
}

WindowState QtMainWindow::State() {
  return isMinimized() ? WindowState::kMinimized : WindowState::kNormal;
}

void QtMainWindow::SetState(WindowState state) {
  setWindowState(state == WindowState::kMinimized ? (windowState() | Qt::WindowMinimized)
                                                  : (windowState() & ~Qt::WindowMinimized));
}

void QtMainWindow::Show() {
  show();
  // The window manager may report the hidden window as minimised after it has been withdrawn.
  if (isMinimized())
    setWindowState(windowState() & ~Qt::WindowMinimized);
  if (hidden_at_)
    move(*hidden_at_);  // a window manager places a window it maps anew where it likes
  hidden_at_.reset();
  raise();
  activateWindow();
}

// Qt leaves the minimised state by mapping the window. Left after the hide, a window manager
// would map a window Qt keeps hidden: an empty frame on screen, or the window back as an icon.
void QtMainWindow::Hide() {
  if (isMinimized())
    setWindowState(windowState() & ~Qt::WindowMinimized);
  hidden_at_ = pos();
  hide();
}

bool QtMainWindow::HasNotificationArea() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtMainWindow::LoadCustomPointer(const std::string& path) {
  const QPixmap picture(QString::fromStdString(path));
  if (picture.isNull())
    return false;
  const QPoint hot_spot = CursorHotSpot(path);
  custom_pointer_ = QCursor(picture, hot_spot.x(), hot_spot.y());
  if (shown_pointer_ == Pointer::kCustom)
    ShowPointer();
  return true;
}

void QtMainWindow::Quit() {
  closing_ = true;
  timer1_.stop();
  QApplication::exit(0);
}

void QtMainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // After the change has run its course: showMinimized() makes the window visible again once the
  // state has changed, which would undo a hide made here and now.
  if (event->type() == QEvent::WindowStateChange && behaviour_ != nullptr)
    QMetaObject::invokeMethod(
        this, [this] { behaviour_->Form_Resize(); }, Qt::QueuedConnection);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  if (behaviour_ != nullptr && !closing_) {
    closing_ = true;
    behaviour_->Form_QueryUnload();
    behaviour_->Form_Unload();
  }
  event->accept();
}

// A move that a control leaves unhandled also reaches its parents; only the widget right under
// the pointer counts, and only where the control table gives it a hover.
bool QtMainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* button = qobject_cast<QToolButton*>(watched);
    if (button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
      button->click();
      return true;
    }
  }
  if (event->type() == QEvent::MouseMove && behaviour_ != nullptr) {
    const auto* move = static_cast<QMouseEvent*>(event);
    QWidget* under = childAt(mapFromGlobal(move->globalPosition().toPoint()));
    QObject* target = under != nullptr ? static_cast<QObject*>(under) : this;
    const auto found = hovers_.find(target);
    if (watched == target && found != hovers_.end())
      behaviour_->MouseMove(found->second);
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace larkspur
