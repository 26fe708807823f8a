// The Qt window on the offscreen platform: built where the control table says, showing what the
// behaviour leaves in Form1, and its clicks reaching the behaviour.
#include "ui/qt/qt_main_window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "platform/autostart.h"
#include "platform/native_stores.h"
#include "platform/run_log_file.h"
#include "qt/steady_desktop.h"
#include "support/cursor_file.h"
#include "support/temp_dir.h"
#include "ui/qt/log_viewer.h"
#include "ui/qt/qt_desktop.h"
#include "ui/qt/qt_notify_area.h"
#include "ui/qt/qt_tray_menu.h"

namespace larkspur {
namespace {

namespace fs = std::filesystem;

fs::path ConfigFolder() {
  return std::getenv("XDG_CONFIG_HOME");
}

// The whole window as the program builds it, on the stores of the test's sandbox.
// Both browsers have data here, so that their groups take clicks.
class QtWindowTest : public ::testing::Test {
 protected:
  QtWindowTest() {
    fs::remove_all(ConfigFolder() / "Quillmark");
    testing::WriteFile(StandIns() / "registry.reg", "REGEDIT4\n");
    testing::WriteFile(Firefox() / "profiles.ini", "[Profile0]\nPath=p.default\n");
    testing::WriteFile(Firefox() / "p.default" / "prefs.js", "");
  }
  ~QtWindowTest() override {
    for (const fs::path& folder : {ConfigFolder() / "Quillmark", StandIns(), Firefox()})
      fs::remove_all(folder);
  }

  static fs::path StandIns() { return fs::path(std::getenv("XDG_DATA_HOME")) / "larkspur"; }
  static fs::path Firefox() { return ConfigFolder() / "mozilla" / "firefox"; }

  void Open() {
    stores_ = std::make_unique<NativeStores>(MakeNativeStores(UserFoldersFromEnvironment()));
    engine_ = std::make_unique<CleanupEngine>(form_, *stores_);
    MainWindowPorts ports{face_, *stores_->settings,    desktop_,
                          tray_, program_folder_.str(), RunLogPath(UserFoldersFromEnvironment())};
    ports.autostart = autostart_.get();
    behaviour_ = std::make_unique<MainWindow>(form_, *engine_, std::move(ports));
    face_.Attach(*behaviour_);
    behaviour_->Form_Load();
    face_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&face_));
  }

  template <typename Widget>
  Widget* Get(const char* name) {
    auto* widget = qobject_cast<Widget*>(face_.Control(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  // Near the left edge, where a wide tick box's box and text are.
  void ClickTickBox(const char* name) {
    QWidget* box = face_.Control(name);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
  }

  static void MoveOver(QWidget* widget) {
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 4), widget->mapToGlobal(QPointF(4, 4)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
  }

  std::string Settings() {
    return testing::ReadFile(ConfigFolder() / "Quillmark" / "settings.ini");
  }

  testing::TempDir program_folder_;
  Form1 form_;
  QtMainWindow face_{form_};
  testing::SteadyDesktop desktop_;
  QtNotifyArea notify_area_;
  cSysTray tray_{TraySite{notify_area_, notify_area_, 1, true}};
  std::unique_ptr<AutostartPort> autostart_ = MakeAutostart(UserFoldersFromEnvironment());
  std::unique_ptr<NativeStores> stores_;
  std::unique_ptr<CleanupEngine> engine_;
  std::unique_ptr<MainWindow> behaviour_;
};

TEST_F(QtWindowTest, EveryControlInItsPlace) {
  Open();
  EXPECT_EQ(face_.windowTitle(), "Larkspur");
  EXPECT_EQ(face_.size(), QSize(512, 596));
  EXPECT_EQ(face_.minimumSize(), face_.maximumSize()) << "fixed size";
  EXPECT_FALSE(face_.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(face_.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

  // Pixels inside the parent, and Arial bold points (0: the style's own font).
  const struct {
    const char* name;
    QRect place;
    double points;
  } expected[] = {
      // clang-format off
      {"Frame1", {8, 8, 244, 151}, 9},         {"chkIEHist", {21, 24, 97, 17}, 9},
      {"chkIETemp", {21, 48, 220, 17}, 9},     {"chkIETyped", {21, 72, 173, 17}, 9},
      {"chkIECookies", {21, 96, 157, 17}, 9},  {"Frame2", {261, 8, 244, 151}, 9},
      {"chkFFHist", {21, 24, 142, 17}, 9},     {"chkFFDownloads", {21, 48, 202, 17}, 9},
      {"chkTypedUrls", {21, 72, 204, 17}, 9},  {"chkCookies", {21, 96, 157, 17}, 9},
      {"chkFFCache", {21, 120, 157, 17}, 9},   {"Frame4", {8, 163, 244, 151}, 9},
      {"chkChromeHist", {21, 24, 157, 17}, 9}, {"chkChromeCache", {21, 48, 157, 17}, 9},
      {"chkChromeCookies", {21, 72, 157, 17}, 9}, {"chkChromeTabs", {21, 96, 157, 17}, 9},
      {"Frame5", {261, 163, 244, 151}, 9},     {"chkEdgeHist", {21, 24, 157, 17}, 9},
      {"chkEdgeCache", {21, 48, 157, 17}, 9},  {"chkEdgeCookies", {21, 72, 157, 17}, 9},
      {"chkEdgeTabs", {21, 96, 157, 17}, 9},   {"Frame3", {8, 319, 497, 127}, 9.75},
      {"List1", {16, 24, 465, 93}, 9.75},      {"Check13", {8, 451, 161, 81}, 11.25},
      {"Check12", {174, 451, 161, 81}, 11.25}, {"Check11", {342, 451, 161, 81}, 11.25},
      {"Label5", {8, 539, 497, 17}, 9.75},     {"ProgressBar1", {8, 563, 497, 25}, 0},
      // clang-format on
  };
  for (const auto& [name, place, points] : expected) {
    QWidget* widget = face_.Control(name);
    ASSERT_NE(widget, nullptr) << name;
    EXPECT_TRUE(widget->isVisible()) << name;
    EXPECT_EQ(widget->geometry(), place) << name;
    if (points > 0) {
      EXPECT_TRUE(widget->font().bold()) << name;
      EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), points) << name;
    }
  }
  // Arial, or a face with Arial's metrics where it is missing.
  const QString family = QFontInfo(face_.Control("Label5")->font()).family();
  EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();

  for (const char* name : {"Check11", "Check12", "Check13"}) {
    auto* button = Get<QToolButton>(name);
    EXPECT_FALSE(button->icon().isNull()) << name;
    EXPECT_EQ(button->iconSize(), QSize(32, 32));
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
  }
}

TEST_F(QtWindowTest, TabOrderStartsOnNothingVisible) {
  Open();
  QWidget* focused = QApplication::focusWidget();
  ASSERT_NE(focused, nullptr);
  EXPECT_FALSE(face_.rect().contains(focused->geometry())) << "the first stop lies outside";

  std::vector<std::string> order;
  QWidget* widget = focused;
  for (int step = 0; step < 30; ++step) {
    widget = widget->nextInFocusChain();
    while (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty())
      widget = widget->nextInFocusChain();
    if (widget == focused)
      break;
    order.push_back(widget->objectName().toStdString());
  }
  EXPECT_THAT(order,
              ::testing::ElementsAre(
                  "Check11", "List1", "Check12", "Check13", "chkIECookies", "chkIETyped",
                  "chkIETemp", "chkIEHist", "chkFFHist", "chkFFDownloads", "chkTypedUrls",
                  "chkCookies", "chkFFCache", "chkChromeHist", "chkChromeCache", "chkChromeCookies",
                  "chkChromeTabs", "chkEdgeHist", "chkEdgeCache", "chkEdgeCookies", "chkEdgeTabs"));
}

// Focus marks show only once the keyboard is used, as on Windows; from then on the control
// with the focus looks different from itself without it.
TEST_F(QtWindowTest, TabMakesTheFocusVisible) {
  Open();
  face_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&face_));
  for (const char* name : {"Check11", "List1", "Check12", "Check13", "chkIECookies"}) {
    QWidget* next = face_.Control(name);
    const QImage without = next->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), next) << name;
    EXPECT_NE(next->grab().toImage(), without) << name << " shows no focus";
  }
}

TEST_F(QtWindowTest, TheStatusLineShowsItsTextAsItIs) {
  Open();
  const QString text = "Deleting <b>p.default</b>...";
  form_.Label5.SetCaption(text.toStdString());
  face_.Mirror();
  auto* status = Get<QLabel>("Label5");
  EXPECT_EQ(status->text(), text);
  EXPECT_GE(status->sizeHint().width(), status->fontMetrics().horizontalAdvance(text))
      << "drawn as markup, without its tags";
}

// A long text ends at a word, a progress line keeps its file's name; the tooltip gets it all.
TEST_F(QtWindowTest, ATextLongerThanTheStatusLineIsCutWhereItStillReads) {
  Open();
  auto* status = Get<QLabel>("Label5");
  const QString sentence =
      "Erased 7 items (99.3 KB). 4 stayed: browser running. Close Firefox to clear its history, "
      "cookies and form history.";
  form_.Label5.SetCaption(sentence.toStdString());
  face_.Mirror();
  const QString kept = status->text().chopped(1);
  EXPECT_EQ(status->text(), kept + QChar(0x2026));
  EXPECT_LE(status->fontMetrics().horizontalAdvance(status->text()), status->width());
  EXPECT_TRUE(sentence.startsWith(kept + ' ') || sentence.startsWith(kept + ','))
      << "not cut at a word: " << status->text().toStdString();
  EXPECT_EQ(status->toolTip(), sentence);
  EXPECT_EQ(status->accessibleName(), sentence);

  const QString path =
      "-->/home/someone/.mozilla/firefox/k2x9s0qe.default-release/storage/"
      "default/https+++www.example.org/cache/morgue/212/places.sqlite-wal";
  form_.Label5.SetCaption(path.toStdString());
  face_.Mirror();
  EXPECT_THAT(status->text().toStdString(),
              ::testing::MatchesRegex("-->/home.*\xE2\x80\xA6.*/places\\.sqlite-wal"));
}

TEST_F(QtWindowTest, TheTrayMenuAndAnActivationReachTheBehaviour) {
  Open();
  notify_area_.SetMenu(MakeTrayMenu(*behaviour_, &face_));  // after the icon came
  QSystemTrayIcon* icon = notify_area_.TrayIcon(1, 0);
  ASSERT_NE(icon, nullptr);
  ASSERT_NE(icon->contextMenu(), nullptr);
  std::vector<std::string> captions;
  for (const QAction* action : icon->contextMenu()->actions())
    captions.push_back(action->text().toStdString());
  EXPECT_THAT(captions,
              ::testing::ElementsAre("Show Larkspur", "Delete Now", "Start at sign-in", "Exit"));

  face_.hide();
  emit icon->activated(QSystemTrayIcon::Trigger);  // a single click, or a desktop's Activate
  EXPECT_TRUE(face_.isVisible());

  // "Start at sign-in" writes the session's autostart entry, and takes it away again.
  QMenu* menu = icon->contextMenu();
  QAction* sign_in = menu->actions().at(2);
  const fs::path entry = ConfigFolder() / "autostart" / "larkspur.desktop";
  sign_in->trigger();
  ASSERT_TRUE(fs::is_regular_file(fs::symlink_status(entry)));
  EXPECT_THAT(testing::ReadFile(entry),
              ::testing::HasSubstr("\nExec=\"" + fs::read_symlink("/proc/self/exe").string() +
                                   "\" --tray\n"));
  sign_in->setChecked(false);
  emit menu->aboutToShow();
  EXPECT_TRUE(sign_in->isChecked());
  sign_in->trigger();
  EXPECT_FALSE(fs::exists(fs::symlink_status(entry)));
  // A link in the entry's place is replaced, never written through.
  testing::WriteFile(ConfigFolder() / "target", "kept");
  fs::create_symlink(ConfigFolder() / "target", entry);
  sign_in->trigger();
  EXPECT_EQ(testing::ReadFile(ConfigFolder() / "target"), "kept");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(entry)));
  fs::remove_all(ConfigFolder() / "autostart");
  fs::remove(ConfigFolder() / "target");

  menu->actions().at(3)->trigger();  // "Exit"
  EXPECT_EQ(notify_area_.TrayIcon(1, 0), nullptr) << "leaving takes the icon away";
}

TEST_F(QtWindowTest, FirstStartShowsTheDefaults) {
  Open();
  auto* list = Get<QListWidget>("List1");
  ASSERT_EQ(list->count(), 11);
  EXPECT_EQ(list->currentItem()->text(), "Delete every 5 minutes");
  EXPECT_EQ(Get<QToolButton>("Check13")->text(), "Turn On Auto Delete");
  EXPECT_EQ(Get<QLabel>("Label5")->text(), "");
  EXPECT_THAT(Settings(), ::testing::HasSubstr("[Larkspur]\nOftenIndex=1\n"));
  EXPECT_THAT(Settings(), ::testing::Not(::testing::HasSubstr("BackupSwitch")));

  for (const char* name : {"chkIEHist", "chkFFCache", "chkCookies"})
    EXPECT_FALSE(Get<QCheckBox>(name)->isChecked()) << name;
}

TEST_F(QtWindowTest, ClicksReachTheBehaviourAndItsStateShows) {
  Open();
  QTest::mouseClick(Get<QToolButton>("Check13"), Qt::LeftButton);
  EXPECT_EQ(Get<QToolButton>("Check13")->text(), "Turn Off Auto Delete");
  EXPECT_FALSE(Get<QToolButton>("Check13")->isChecked()) << "springs back";
  EXPECT_THAT(Settings(), ::testing::HasSubstr("BackupSwitch=On"));

  auto* list = Get<QListWidget>("List1");
  const QRect row = list->visualItemRect(list->item(5));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(form_.List1.ListIndex, 5);
  EXPECT_THAT(Settings(), ::testing::HasSubstr("OftenIndex=6"));

  ClickTickBox("chkFFCache");
  EXPECT_TRUE(form_.chkFFCache.Ticked());
  ClickTickBox("chkFFCache");
  EXPECT_FALSE(form_.chkFFCache.Ticked());

  MoveOver(Get<QToolButton>("Check12"));
  EXPECT_EQ(form_.MousePointer, Pointer::kCustom);
  EXPECT_EQ(face_.cursor().shape(), Qt::ArrowCursor)
      << "no HAND-M.CUR: the custom pointer is the arrow";
  MoveOver(Get<QListWidget>("List1")->viewport());
  EXPECT_EQ(form_.MousePointer, Pointer::kDefault);
  MoveOver(Get<QToolButton>("Check11"));
  MoveOver(face_.Control("Frame3"));
  EXPECT_EQ(form_.MousePointer, Pointer::kDefault);
}

TEST_F(QtWindowTest, TheHandPointerComesFromTheCursorFileBesideTheProgram) {
  testing::WriteFile(program_folder_ / "HAND-M.CUR", testing::CursorFileBytes());
  Open();
  MoveOver(Get<QToolButton>("Check12"));
  EXPECT_EQ(form_.MousePointer, Pointer::kCustom);
  EXPECT_EQ(face_.cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(face_.cursor().hotSpot(), QPoint(1, 1)) << "the file's hot spot, not the centre";
  EXPECT_EQ(face_.cursor().pixmap().size(), QSize(32, 32));
  MoveOver(face_.Control("Frame3"));
  EXPECT_EQ(face_.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(QtWindowTest, DeleteNowDeletesTheTickedFilesAndShowsItsWork) {
  const fs::path firefox = ConfigFolder() / "mozilla" / "firefox";
  testing::WriteFile(firefox / "profiles.ini", "[Profile0]\nPath=p.default\n");
  testing::WriteFile(firefox / "p.default" / "prefs.js", "");
  testing::WriteFile(firefox / "p.default" / "cookies.sqlite", "c");
  testing::WriteFile(firefox / "p.default" / "places.sqlite", "p");
  testing::WriteFile(ConfigFolder() / "Quillmark" / "settings.ini",
                     "[Larkspur]\nBackupSwitch=Off\n");
  Open();
  auto* status = Get<QLabel>("Label5");
  EXPECT_EQ(status->text(), "Auto Delete is Turned Off.");

  std::vector<std::string> shown;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout,
                   [&] { shown.push_back(status->text().toStdString()); });
  watch.start(500);
  ClickTickBox("chkCookies");
  QTest::mouseClick(Get<QToolButton>("Check12"), Qt::LeftButton);  // returns after the pause

  EXPECT_FALSE(fs::exists(firefox / "p.default" / "cookies.sqlite"));
  EXPECT_TRUE(fs::exists(firefox / "p.default" / "places.sqlite"));
  EXPECT_GE(shown.size(), 8u) << "the window went on handling events for five seconds";
  // The bytes are the disk space freed, which the file system decides.
  EXPECT_THAT(shown, ::testing::Each(::testing::MatchesRegex("Erased 1 item \\(.*\\)\\.")))
      << "the summary, during the pause and after";
  EXPECT_THAT(status->text().toStdString(), ::testing::MatchesRegex("Erased 1 item \\(.*\\)\\."));
  EXPECT_EQ(form_.MousePointer, Pointer::kDefault);
  fs::remove_all(firefox);
}

// The timer's ticks as the window's QTimer gives them, 300 for the five minutes.
TEST_F(QtWindowTest, ATimedRunLeavesItsSummaryTheTicksOutliveARestartAndTheLogOpens) {
  const fs::path firefox = ConfigFolder() / "mozilla" / "firefox";
  testing::WriteFile(firefox / "profiles.ini", "[Profile0]\nPath=p.default\n");
  testing::WriteFile(firefox / "p.default" / "prefs.js", "");
  testing::WriteFile(firefox / "p.default" / "cookies.sqlite", "cookies");
  Open();
  ClickTickBox("chkCookies");
  QTest::mouseClick(Get<QToolButton>("Check13"), Qt::LeftButton);
  for (int tick = 0; tick < 300; ++tick)
    behaviour_->Timer1_Timer();
  EXPECT_FALSE(fs::exists(firefox / "p.default" / "cookies.sqlite"));
  EXPECT_THAT(Get<QLabel>("Label5")->text().toStdString(),
              ::testing::MatchesRegex("Erased 1 item \\(.*\\)\\."));

  // The log opens in the program's own window, newest run first: no other program sees it.
  const std::string log = RunLogPath(UserFoldersFromEnvironment());
  testing::WriteFile(
      log, "2026-01-02 03:04:05 Delete Now: Nothing to erase.\n" + testing::ReadFile(log));
  QTest::mouseClick(Get<QToolButton>("Check11"), Qt::LeftButton);
  EXPECT_THAT(desktop_.started, ::testing::IsEmpty());
  auto* viewer = face_.findChild<LogViewer*>();
  ASSERT_NE(viewer, nullptr);
  const QStringList lines = viewer->Text().split('\n');
  ASSERT_GE(lines.size(), 2);  // earlier tests' runs between
  EXPECT_THAT(lines.front().toStdString(),
              ::testing::MatchesRegex(".* timed run: Erased 1 item \\(.*\\)\\. "
                                      "firefox-cookies: 1 erased \\(.*\\)\\."));
  EXPECT_EQ(lines.back(), "2026-01-02 03:04:05 Delete Now: Nothing to erase.");

  // A second start on the same settings ticks what the user ticked, and runs it on time.
  Form1 form;
  QtMainWindow face{form};
  CleanupEngine engine(form, *stores_);
  MainWindow again(form, engine,
                   MainWindowPorts{face, *stores_->settings, desktop_, tray_, ".", log});
  face.Attach(again);
  again.Form_Load();
  EXPECT_TRUE(qobject_cast<QCheckBox*>(face.Control("chkCookies"))->isChecked());
  EXPECT_FALSE(qobject_cast<QCheckBox*>(face.Control("chkIEHist"))->isChecked());
  EXPECT_EQ(qobject_cast<QToolButton*>(face.Control("Check13"))->text(), "Turn Off Auto Delete");
  again.Form_Unload();
  fs::remove_all(firefox);
}

// A browser with no data here: its group is disabled and says where it was looked for; its ticks
// stay saved and shown, and a run leaves them out. When the browser appears, the group comes back.
TEST_F(QtWindowTest, ABrowserThatIsNotHereIsShownDisabledWithItsTicksKept) {
  fs::remove_all(StandIns());
  fs::remove_all(Firefox());
  testing::WriteFile(ConfigFolder() / "Quillmark" / "settings.ini",
                     "[Larkspur]\nTickedItems=ie-history,firefox-cookies\n");
  Open();
  const std::string data = std::getenv("XDG_DATA_HOME");
  QWidget* internet_explorer = face_.Control("Frame1");
  EXPECT_FALSE(internet_explorer->isEnabled());
  EXPECT_EQ(internet_explorer->toolTip().toStdString(),
            "Internet Explorer is not on this computer (looked for in " + data + "/larkspur).");
  EXPECT_FALSE(Get<QCheckBox>("chkIEHist")->isEnabled());
  EXPECT_TRUE(Get<QCheckBox>("chkIEHist")->isChecked());
  QWidget* firefox = face_.Control("Frame2");
  EXPECT_FALSE(firefox->isEnabled());
  EXPECT_THAT(firefox->toolTip().toStdString(),
              ::testing::StartsWith("No Firefox profile found in " + std::string(getenv("HOME")) +
                                    "/.mozilla/firefox, " + Firefox().string() + ", "));
  EXPECT_TRUE(Get<QCheckBox>("chkCookies")->isChecked());

  behaviour_->RunDeletion();
  EXPECT_THAT(form_.Label5.Caption(),
              ::testing::StartsWith("Internet Explorer is not on this computer (looked for in "));
  EXPECT_THAT(Settings(), ::testing::HasSubstr("TickedItems=ie-history,firefox-cookies"));

  testing::WriteFile(Firefox() / "profiles.ini", "[Profile0]\nPath=p.default\n");
  testing::WriteFile(Firefox() / "p.default" / "prefs.js", "");
  face_.hide();
  behaviour_->cSysTray1_MouseDblClick();
  EXPECT_TRUE(firefox->isEnabled());
  EXPECT_EQ(Get<QCheckBox>("chkCookies")->toolTip(), "");
  EXPECT_FALSE(internet_explorer->isEnabled());
}

TEST_F(QtWindowTest, WithoutANotificationAreaMinimisingKeepsTheWindow) {
  Open();
  ASSERT_FALSE(QtNotifyArea::Available()) << "offscreen has no notification area";
  face_.showMinimized();
  QApplication::processEvents();
  EXPECT_TRUE(face_.isVisible());
}

// A dark desktop theme (light text), the application's palette before the window is made.
struct DarkTheme {
  DarkTheme() { QApplication::setPalette(QPalette(QColor(0x2A, 0x2A, 0x2A), Qt::black)); }
  ~DarkTheme() { QApplication::setPalette(light); }
  QPalette light = QApplication::palette();
};
class QtWindowUnderADarkTheme : public DarkTheme, public QtWindowTest {};

// The captions, group titles, list entries and status text stay black on white, as laid out.
TEST_F(QtWindowUnderADarkTheme, EveryCaptionIsDarkOnWhite) {
  Open();
  form_.Label5.SetCaption("Nothing to erase.");
  face_.Mirror();
  const QImage window = face_.grab().toImage();
  const std::pair<const char*, QRect> captions[] = {
      // where its words are, inside the control
      {"Check12", {4, 48, 153, 24}},   {"Frame1", {8, 0, 110, 12}}, {"chkIEHist", {22, 1, 70, 15}},
      {"chkCookies", {22, 1, 80, 15}}, {"List1", {4, 18, 150, 14}}, {"Label5", {0, 1, 120, 15}}};
  for (const auto& [name, text] : captions) {
    const QRect area = text.translated(face_.Control(name)->mapTo(&face_, QPoint(0, 0)));
    int dark = 0;
    int white = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
      for (int x = area.left(); x <= area.right(); ++x) {
        dark += qGray(window.pixel(x, y)) < 80;
        white += qGray(window.pixel(x, y)) > 235;
      }
    EXPECT_GT(dark, 30) << name << ": no dark text";
    EXPECT_GT(white, area.width() * area.height() / 2) << name << ": no white background";
  }
}

}  // namespace
}  // namespace larkspur

namespace larkspur {
namespace {

// The pause after "Delete Now" sleeps between events instead of spinning: over a second of
// waiting the process uses a small part of a second of processor time, and events still run.
TEST(QtDesktopWait, HandlesEventsAndSleepsInBetween) {
  QtDesktop desktop;
  bool handled = false;
  QTimer::singleShot(200, [&] { handled = true; });
  const std::clock_t processor_start = std::clock();
  const double start = desktop.MonotonicSeconds();
  while (desktop.MonotonicSeconds() - start < 1.0)
    desktop.WaitForEvents(1.0 - (desktop.MonotonicSeconds() - start));
  const double processor_seconds =
      static_cast<double>(std::clock() - processor_start) / CLOCKS_PER_SEC;
  EXPECT_TRUE(handled);
  EXPECT_LT(processor_seconds, 0.3);
}

}  // namespace
}  // namespace larkspur
