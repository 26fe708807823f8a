#pragma once
// The Windows face of the main window: real controls built from the control table, showing Form1
// and forwarding every event to MainWindow.
#include <windows.h>
// after windows.h
#include <commctrl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/form1.h"
#include "app/main_window.h"
#include "app/window_face.h"
#include "ui/win32/accessible_props.h"

namespace larkspur {

struct ControlRow;

// A control's identifier, from its place in the control table; 0 for a name the table lacks.
int ControlId(const std::string& name);
// The command of the tray menu's entry at `index` of the tray menu table.
int TrayMenuId(std::size_t index);

class Win32MainWindow final : public WindowFace {
 public:
  // Creates the window, hidden, with every control. `instance` holds the pictures.
  Win32MainWindow(Form1& form, HINSTANCE instance);
  ~Win32MainWindow() override;
  Win32MainWindow(const Win32MainWindow&) = delete;
  Win32MainWindow& operator=(const Win32MainWindow&) = delete;

  // The behaviour behind the controls; set once, before the first event.
  void Attach(MainWindow& behaviour) { behaviour_ = &behaviour; }
  // No more events go to the behaviour, which is about to go.
  void Detach() { behaviour_ = nullptr; }
  // Called when the notification area is made anew ("TaskbarCreated"), its icons gone.
  void OnTaskbarCreated(std::function<void()> handler) { taskbar_created_ = std::move(handler); }
  HWND Handle() const { return window_; }
  // A control of the control table, by its name.
  HWND Control(const std::string& name) const;
  // The tooltip control that shows the frames' tips; nullptr while no frame has one.
  HWND ToolTips() const { return tooltips_; }
  HWND PresenceTips() const { return presence_tips_; }

  // Shows the window for the first time, with the focus on no visible control.
  void Open();

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
  void Quit() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  static LRESULT CALLBACK HoverProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR id, DWORD_PTR self);
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam);

  void Build();
  HWND CreateControl(const ControlRow& row);
  // A tooltip control of the window's own, WS_POPUP | TTS_NOPREFIX with `style` added.
  HWND NewToolTips(DWORD extended, DWORD style) const;
  void AddToolTip(const ControlRow& frame);
  void MirrorToolTip(const ControlRow& frame);
  void Command(int id, int notification);
  void ShowTrayMenu();
  void CloseRequested();
  void PointerMoved(Hover hover);
  Hover HoverAt(int x, int y) const;
  LRESULT ControlColour(HDC dc);
  COLORREF TextColour() const;
  HBRUSH Background() const;
  void ColoursChanged();
  void MakeStatusTip(HWND label);
  void StatusTextChanged(HWND label, const std::wstring& text);
  void DrawStatus(const DRAWITEMSTRUCT& item);
  void MirrorStatus();
  void MirrorPresence(const ControlRow& frame);
  void ApplyPointer();
  int Px(double twips) const;
  double Twips(int pixels) const;

  Form1& form_;
  HINSTANCE instance_;
  MainWindow* behaviour_ = nullptr;
  HWND window_ = nullptr;
  int dpi_ = 96;
  std::map<std::string, HWND> controls_;
  HWND tooltips_ = nullptr;
  std::map<std::string, std::wstring> shown_tips_;  // by the frame's name
  AccessibleProps accessible_;
  HWND status_tip_ = nullptr;
  bool high_contrast_ = false;
  std::vector<HFONT> fonts_;
  std::vector<HIMAGELIST> pictures_;
  HBRUSH white_ = nullptr;
  HICON empty_icon_ = nullptr;
  HCURSOR custom_pointer_ = nullptr;
  bool timer_running_ = false;
  int timer_interval_ = 0;
  HWND last_focus_ = nullptr;  // given back when the window is active again
  bool closing_ = false;
  UINT taskbar_created_message_ = 0;
  std::function<void()> taskbar_created_;
  HWND presence_tips_ = nullptr;  // an absent browser's group: why; made when first needed
  std::map<std::string, std::string, std::less<>> mirrored_absent_;
};

}  // namespace larkspur
