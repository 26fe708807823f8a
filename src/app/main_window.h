#pragma once
// The main window's behaviour: start-up and shutdown, "Delete Now", the auto-delete scheduler,
// hover feedback and "View Save Log". A window face forwards its events to these handlers and
// shows Form1 as they leave it.
#include <functional>
#include <string>
#include <vector>

#include "app/cleanup_engine.h"
#include "app/form1.h"
#include "app/window_face.h"
#include "app/window_start.h"
#include "platform/autostart.h"
#include "platform/desktop.h"
#include "platform/settings.h"
#include "tray/sys_tray.h"

namespace larkspur {

// The eleven intervals of List1, in order, and their length in seconds.
struct IntervalChoice {
  const char* text;
  int seconds;
};
inline constexpr IntervalChoice kIntervals[] = {
    {"Delete every 5 minutes", 300},   {"Delete every 10 minutes", 600},
    {"Delete every 15 minutes", 900},  {"Delete every 20 minutes", 1200},
    {"Delete every 30 minutes", 1800}, {"Delete every 1 hour", 3600},
    {"Delete every 2 hours", 7200},    {"Delete every 4 hours", 14400},
    {"Delete every 8 hours", 28800},   {"Delete every 16 hours", 57600},
    {"Delete every 24 hours", 86400},
};

inline constexpr char kSettingsApplication[] = "Quillmark";
inline constexpr char kSettingsSection[] = "Larkspur";
inline constexpr char kHomePage[] = "https://www.quillmark.example/larkspur/";

struct MainWindowPorts {
  WindowFace& face;
  SettingsPort& settings;
  DesktopPort& desktop;
  cSysTray& tray;
  std::string program_folder;  // where HAND-M.CUR is looked for
  std::string run_log;         // the per-user run log that "View Save Log" opens
  // The Chromium browsers but Edge found on this machine, by name, for Frame4's tooltip; unset:
  // the frame has no tooltip.
  std::function<std::vector<std::string>()> chromium_browsers = {};
  AutostartPort* autostart = nullptr;  // "Start at sign-in"; none: the entry does nothing
  WindowStart start = {};
};

// How the window first appears: shown, hidden in the notification area, or minimised.
enum class StartView { kShown, kHidden, kMinimized };

class MainWindow {
 public:
  MainWindow(Form1& form, CleanupEngine& engine, MainWindowPorts ports);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Window events.
  void Form_Load();
  void Form_Resize();
  void Form_QueryUnload();
  void Form_Unload();
  void cSysTray1_MouseDblClick();
  // The tray menu's entries besides showing the window: as a click on "Delete Now", and as a
  // close request.
  void TrayMenu_DeleteNow();
  void TrayMenu_Exit();
  // "Start at sign-in", a tick entry: the program starts with the session, in the tray.
  void TrayMenu_StartAtSignIn();
  bool StartsAtSignIn();
  // After Form_Load: --tray keeps the window hidden in the notification area.
  StartView ViewAtStart();

  // "Delete Now" and the clean-up run.
  void Check12_Click();
  // Any tick box changed: the ticked items are kept for the next start.
  void TickBox_Click();
  void RunDeletion();

  // The scheduler.
  void Check13_Click();
  void List1_Click();
  void Timer1_Timer();

  // Helpers, hover feedback and "View Save Log".
  void CenterOnScreen();
  void Pause(double seconds);
  void MouseMove(Hover hover);
  void Check11_Click();

 private:
  int IntervalSeconds() const;
  void SetProgress(int maximum, int value);
  void StatusChanged();
  // Appends the last run to the run log; `started_by` says what started it.
  void LogRun(const char* started_by);
  void StartProgram(const std::string& program, const std::string& argument, ShowStyle show);
  // Keeps a setting; the first that cannot be kept is said on the status line.
  void Save(const char* key, const std::string& value);
  void RestoreInterval();
  void RestoreAutoDelete();
  void RestoreTickedItems();
  // Asks every browser whether it has data here; an absent one's group is shown disabled.
  void RefreshPresence();
  // The tray tip says when the next timed run is due while auto delete is on.
  void ShowNextRunInTrayTip();
  void ShowChromiumBrowsersInTip();

  Form1& form_;
  CleanupEngine& engine_;
  MainWindowPorts ports_;
  bool hidden_in_tray_ = false;  // hidden because it was minimised, until the tray brings it back
  bool running_ = false;
  bool deleting_now_ = false;  // from the click until the pause after it has ended
  bool unloading_ = false;
  bool unsaved_said_ = false;
  double last_repaint_ = -1;
  int current_interval_ = 0;
  int elapsed_seconds_ = 0;
};

}  // namespace larkspur
