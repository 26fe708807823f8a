#include "ui/win32/win32_main_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>
#include <cmath>
#include <iterator>

#include "app/control_table.h"
#include "app/tray_menu.h"
#include "platform/win32/code_page.h"
#include "tray/sys_tray_hook.h"
#include "ui/accessible_names.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/status_fit.h"

namespace larkspur {

namespace {

constexpr char kWindowClass[] = "Larkspur.Form1";
constexpr UINT_PTR kTimer1 = 1;
constexpr int kPictureTwips = 480;      // 32 px at 96 dots per inch
constexpr int kFirstControlId = 1000;   // the control table's first row
constexpr int kFirstTrayMenuId = 2000;  // the tray menu table's first row

std::wstring Wide(const std::string& text) {
  std::wstring wide = WideFromUtf8(text);
  if (wide.empty() && !text.empty()) {  // not UTF-8: show the bytes in the code page
    const std::string utf8 = Utf8FromAnsi(text);
    wide = WideFromUtf8(utf8);
  }
  return wide;
}

int PictureResource(std::string_view picture) {
  if (picture == "auto-delete")
    return IDI_AUTO_DELETE;
  if (picture == "delete-now")
    return IDI_DELETE_NOW;
  return IDI_SAVE_LOG;
}

// A title-bar icon of nothing but transparent pixels.
HICON EmptyIcon(HINSTANCE instance) {
  BYTE transparent[32 * 32 / 8];
  BYTE black[32 * 32 / 8] = {};
  std::fill(std::begin(transparent), std::end(transparent), BYTE{0xFF});
  return ::CreateIcon(instance, 32, 32, 1, 1, transparent, black);
}

// Under a high-contrast theme the user's colours win over the window's own black on white.
bool HighContrast() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof contrast;
  return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

Win32MainWindow* Self(HWND window) {
  return reinterpret_cast<Win32MainWindow*>(::GetWindowLongPtrA(window, 0));
}

}  // namespace

int ControlId(const std::string& name) {
  for (std::size_t index = 0; index < kControlTable.size(); ++index)
    if (kControlTable[index].name == name)
      return kFirstControlId + static_cast<int>(index);
  return 0;
}

int TrayMenuId(std::size_t index) {
  return kFirstTrayMenuId + static_cast<int>(index);
}

Win32MainWindow::Win32MainWindow(Form1& form, HINSTANCE instance)
    : form_(form), instance_(instance) {
  taskbar_created_message_ = ::RegisterWindowMessageW(L"TaskbarCreated");
  white_ = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
  high_contrast_ = HighContrast();
  empty_icon_ = EmptyIcon(instance_);

  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProc;
  window_class.cbWndExtra = sizeof(Win32MainWindow*);  // the user data belongs to the tray hook
  window_class.hInstance = instance_;
  window_class.hIcon = empty_icon_;
  window_class.hIconSm = empty_icon_;
  window_class.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  window_class.hbrBackground = white_;
  window_class.lpszClassName = kWindowClass;
  ::RegisterClassExA(&window_class);  // fails harmlessly when a second window registers again

  const HDC screen = ::GetDC(nullptr);
  dpi_ = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);

  // Fixed size, with close and minimise but no maximise.
  constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, Px(kClientWidth), Px(kClientHeight)};
  ::AdjustWindowRectEx(&frame, kStyle, FALSE, 0);
  window_ = ::CreateWindowExA(0, kWindowClass, AnsiFromUtf8(form_.Caption).c_str(), kStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, instance_, this);
  if (window_ == nullptr)
    return;
  // Run as administrator, the window would not hear of a new taskbar from Explorer, which runs
  // with fewer rights.
  ::ChangeWindowMessageFilterEx(window_, taskbar_created_message_, MSGFLT_ALLOW, nullptr);
  Build();
}

Win32MainWindow::~Win32MainWindow() {
  if (window_ != nullptr)
    ::DestroyWindow(window_);
  for (const HFONT font : fonts_)
    ::DeleteObject(font);
  for (const HIMAGELIST pictures : pictures_)
    ::ImageList_Destroy(pictures);
  if (custom_pointer_ != nullptr)
    ::DestroyCursor(custom_pointer_);
  if (empty_icon_ != nullptr)
    ::DestroyIcon(empty_icon_);
}

HWND Win32MainWindow::Control(const std::string& name) const {
  const auto found = controls_.find(name);
  return found == controls_.end() ? nullptr : found->second;
}

int Win32MainWindow::Px(double twips) const {
  return static_cast<int>(std::lround(twips * dpi_ / 1440.0));
}

double Win32MainWindow::Twips(int pixels) const {
  return pixels * 1440.0 / dpi_;
}

void Win32MainWindow::Build() {
  ::SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(empty_icon_));
  ::SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(empty_icon_));

  // The dialog manager tabs through the controls in the order they were made, so they are made
  // in the table's tab order.
  std::map<int, const ControlRow*> by_tab_index;
  for (const ControlRow& row : kControlTable)
    by_tab_index[row.tab_index] = &row;
  for (const auto& [index, row] : by_tab_index)
    controls_[std::string(row->name)] = CreateControl(*row);
  for (const ControlRow& row : kControlTable)
    if (row.tip != nullptr)
      AddToolTip(row);
}

// A group box lets the pointer through: over its free surface the window gets the moves, over a
// control inside it that control. The frame's tip goes to both.
HWND Win32MainWindow::NewToolTips(DWORD extended, DWORD style) const {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&classes);
  return ::CreateWindowExW(extended, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | style,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                           nullptr, instance_, nullptr);
}

void Win32MainWindow::AddToolTip(const ControlRow& frame) {
  if (tooltips_ == nullptr) {
    tooltips_ = NewToolTips(WS_EX_TOPMOST, TTS_ALWAYSTIP);
    if (tooltips_ == nullptr)
      return;
  }
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = static_cast<UINT_PTR>(ControlId(std::string(frame.name)));
  tool.lpszText = const_cast<wchar_t*>(L"");
  ::GetWindowRect(Control(std::string(frame.name)), &tool.rect);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&tool.rect), 2);
  ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  for (const ControlRow& row : kControlTable)
    if (row.parent == frame.name) {
      tool.uId = reinterpret_cast<UINT_PTR>(Control(std::string(row.name)));
      ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void Win32MainWindow::MirrorToolTip(const ControlRow& frame) {
  const std::string name(frame.name);
  std::wstring tip = Wide(form_.*frame.tip);
  if (tooltips_ == nullptr || shown_tips_[name] == tip)
    return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = window_;
  tool.lpszText = tip.data();
  tool.uId = static_cast<UINT_PTR>(ControlId(name));
  ::SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  for (const ControlRow& row : kControlTable)
    if (row.parent == frame.name) {
      tool.uId = reinterpret_cast<UINT_PTR>(Control(std::string(row.name)));
      ::SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  shown_tips_[name] = std::move(tip);
}

HWND Win32MainWindow::CreateControl(const ControlRow& row) {
  const wchar_t* window_class = L"BUTTON";
  DWORD style = WS_CHILD | WS_VISIBLE;
  DWORD extended = 0;
  switch (row.kind) {
    case ControlKind::kFocusButton:
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::kFrame:
      style |= BS_GROUPBOX;
      break;
    case ControlKind::kTickBox:
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::kPictureButton:
      // A push button to the user and to assistive technology; Enter presses the focused one.
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::kListBox:
      window_class = L"LISTBOX";
      style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
      extended = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kProgressBar:
      window_class = PROGRESS_CLASSW;
      break;
    case ControlKind::kLabel:
      // Drawn here, to end a long text at a word; SS_NOTIFY lets its tooltip see the pointer.
      window_class = L"STATIC";
      style |= SS_OWNERDRAW | SS_NOTIFY;
      break;
  }
  int left = row.left;
  int top = row.top;
  for (const ControlRow& frame : kControlTable)
    if (!row.parent.empty() && frame.name == row.parent) {
      left += frame.left;
      top += frame.top;
    }
  const std::wstring caption = Wide(std::string(row.caption));
  const int id = ControlId(std::string(row.name));
  const HWND control =
      ::CreateWindowExW(extended, window_class, caption.c_str(), style, Px(left), Px(top),
                        Px(row.width), Px(row.height), window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (control == nullptr)
    return nullptr;

  if (row.points > 0) {
    const HFONT font =
        ::CreateFontW(-static_cast<int>(std::lround(row.points * dpi_ / 72.0)), 0, 0, 0, FW_BOLD,
                      FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    fonts_.push_back(font);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (row.kind == ControlKind::kTickBox)
    accessible_.SetName(control, Wide(AccessibleName(row, std::string(row.caption))));
  else if (row.kind == ControlKind::kListBox)
    accessible_.SetName(control, Wide(kListName));
  else if (row.kind == ControlKind::kProgressBar)
    accessible_.SetName(control, Wide(kProgressName));
  else if (row.kind == ControlKind::kFocusButton)
    accessible_.Hide(control);
  else if (row.kind == ControlKind::kLabel)
    MakeStatusTip(control);

  if (row.kind == ControlKind::kPictureButton) {
    const int size = Px(kPictureTwips);
    const HIMAGELIST pictures = ::ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 1, 0);
    const auto icon =
        static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(PictureResource(row.picture)),
                                        IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (pictures != nullptr && icon != nullptr) {
      ::ImageList_AddIcon(pictures, icon);
      BUTTON_IMAGELIST list{pictures, {0, Px(60), 0, 0}, BUTTON_IMAGELIST_ALIGN_TOP};
      ::SendMessageW(control, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
      pictures_.push_back(pictures);
    } else if (pictures != nullptr) {
      ::ImageList_Destroy(pictures);
    }
    if (icon != nullptr)
      ::DestroyIcon(icon);
  }
  // A group box lets the pointer through to the window, which looks for it there (WM_MOUSEMOVE).
  if (row.hover != Hover::kNone && row.kind != ControlKind::kFrame)
    ::SetWindowSubclass(control, HoverProc, static_cast<UINT_PTR>(row.hover),
                        reinterpret_cast<DWORD_PTR>(this));
  if (row.kind == ControlKind::kProgressBar) {
    // A themed bar ignores its background colour; the classic one keeps it.
    ::SetWindowTheme(control, L"", L"");
    ::SendMessageW(control, PBM_SETRANGE32, 0, 100);
  }
  return control;
}

void Win32MainWindow::MakeStatusTip(HWND label) {
  status_tip_ = NewToolTips(WS_EX_TOPMOST, 0);
  if (status_tip_ == nullptr)
    return;
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(label);
  tool.lpszText = const_cast<wchar_t*>(L"");
  ::SendMessageW(status_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ::SendMessageW(status_tip_, TTM_SETMAXTIPWIDTH, 0, Px(kClientWidth));
}

// The whole text is the label's own (its name to assistive technology); the tooltip shows it
// where the line shows less.
void Win32MainWindow::StatusTextChanged(HWND label, const std::wstring& text) {
  AnnounceNameChange(label);
  if (status_tip_ == nullptr)
    return;
  RECT box{};
  ::GetClientRect(label, &box);
  const HDC dc = ::GetDC(label);
  const HGDIOBJ font =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
  const bool cut = TextWidth(dc, text) > box.right - box.left;
  ::SelectObject(dc, font);
  ::ReleaseDC(label, dc);
  TOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(label);
  std::wstring tip = cut ? text : std::wstring();
  tool.lpszText = tip.data();
  ::SendMessageW(status_tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32MainWindow::DrawStatus(const DRAWITEMSTRUCT& item) {
  const int length = ::GetWindowTextLengthW(item.hwndItem);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(item.hwndItem, text.data(), length + 1)));
  RECT box = item.rcItem;
  ::FillRect(item.hDC, &box, Background());
  const HGDIOBJ font = ::SelectObject(
      item.hDC, reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  ::SetTextColor(item.hDC, TextColour());
  ::SetBkMode(item.hDC, TRANSPARENT);
  // A progress line keeps the file's name: Windows elides a path's middle by its backslashes.
  const bool progress = IsProgressLine(text);
  const std::wstring shown = progress ? text : EndAtWord(item.hDC, text, box.right - box.left);
  ::DrawTextW(
      item.hDC, shown.c_str(), static_cast<int>(shown.size()), &box,
      DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | (progress ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS));
  ::SelectObject(item.hDC, font);
}

COLORREF Win32MainWindow::TextColour() const {
  return high_contrast_ ? ::GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0);
}

HBRUSH Win32MainWindow::Background() const {
  return high_contrast_ ? ::GetSysColorBrush(COLOR_WINDOW) : white_;
}

void Win32MainWindow::ColoursChanged() {
  high_contrast_ = HighContrast();
  const ProgressBar& bar = form_.ProgressBar1;
  ::SendMessageA(Control("ProgressBar1"), PBM_SETBKCOLOR, 0,
                 high_contrast_ || bar.BackColor == ProgressBar::kSystemColour
                     ? static_cast<LPARAM>(CLR_DEFAULT)
                     : static_cast<LPARAM>(bar.BackColor & 0x00FFFFFF));
  ::RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void Win32MainWindow::Open() {
  ::ShowWindow(window_, SW_SHOWNORMAL);
  ::UpdateWindow(window_);
  last_focus_ = Control("Command1");
  ::SetFocus(last_focus_);
  ::SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                 0);
}

void Win32MainWindow::Mirror() {
  if (window_ == nullptr)
    return;
  const std::string title = AnsiFromUtf8(form_.Caption);
  char shown_title[256] = {};
  ::GetWindowTextA(window_, shown_title, sizeof shown_title);
  if (title != shown_title)
    ::SetWindowTextA(window_, title.c_str());
  for (const ControlRow& row : kControlTable) {
    if (row.tip != nullptr)
      MirrorToolTip(row);
    if (row.box == nullptr)
      continue;
    const CheckBox& box = form_.*row.box;
    const HWND control = Control(std::string(row.name));
    const std::wstring caption = Wide(box.Caption);
    wchar_t shown[128] = {};
    ::GetWindowTextW(control, shown, 128);
    if (caption != shown)
      ::SetWindowTextW(control, caption.c_str());
    const WPARAM check = box.Ticked() ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(::SendMessageW(control, BM_GETCHECK, 0, 0)) != check)
      ::SendMessageW(control, BM_SETCHECK, check, 0);
  }

  const HWND list1 = Control("List1");
  const auto& items = form_.List1.items;
  if (::SendMessageW(list1, LB_GETCOUNT, 0, 0) != static_cast<LRESULT>(items.size())) {
    ::SendMessageW(list1, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : items)
      ::SendMessageW(list1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  }
  ::SendMessageW(list1, LB_SETCURSEL, static_cast<WPARAM>(form_.List1.ListIndex), 0);

  if (mirrored_absent_ != form_.AbsentBrowsers) {
    for (const ControlRow& row : kControlTable)
      if (row.kind == ControlKind::kFrame)
        MirrorPresence(row);
    mirrored_absent_ = form_.AbsentBrowsers;
  }

  MirrorStatus();
  const ProgressBar& bar = form_.ProgressBar1;
  if (bar.BackColor != ProgressBar::kSystemColour && !high_contrast_ &&
      static_cast<std::uint32_t>(::SendMessageA(Control("ProgressBar1"), PBM_GETBKCOLOR, 0, 0)) !=
          (bar.BackColor & 0x00FFFFFF))
    ::SendMessageA(Control("ProgressBar1"), PBM_SETBKCOLOR, 0,
                   static_cast<LPARAM>(bar.BackColor & 0x00FFFFFF));
  ApplyPointer();

  const Timer& timer = form_.Timer1;
  if (!timer.Ticking()) {
    if (timer_running_)
      ::KillTimer(window_, kTimer1);
    timer_running_ = false;
  } else if (!timer_running_ || timer_interval_ != timer.Interval) {
    ::SetTimer(window_, kTimer1, static_cast<UINT>(timer.Interval), nullptr);
    timer_running_ = true;
    timer_interval_ = timer.Interval;
  }
}

// A group whose browser is absent is disabled with its boxes. A disabled box leaves the pointer
// to the window, so the tooltip that says why covers the group's place on the window.
void Win32MainWindow::MirrorPresence(const ControlRow& frame) {
  const auto absent = form_.AbsentBrowsers.find(frame.caption);
  const bool found = absent == form_.AbsentBrowsers.end();
  for (const ControlRow& row : kControlTable)
    if (row.name == frame.name || row.parent == frame.name)
      ::EnableWindow(Control(std::string(row.name)), found);
  if (presence_tips_ == nullptr) {
    presence_tips_ = NewToolTips(0, TTS_ALWAYSTIP);
    ::SendMessageW(presence_tips_, TTM_SETMAXTIPWIDTH, 0, Px(frame.width * 2));
  }
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = window_;
  tool.uId = static_cast<UINT_PTR>(ControlId(std::string(frame.name)));
  ::SendMessageW(presence_tips_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  if (found)
    return;
  std::wstring text = Wide(absent->second);
  tool.uFlags = TTF_SUBCLASS;
  tool.lpszText = text.data();
  const HWND control = Control(std::string(frame.name));
  ::GetWindowRect(control, &tool.rect);
  ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&tool.rect), 2);
  ::SendMessageW(presence_tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32MainWindow::MirrorStatus() {
  const HWND label = Control("Label5");
  const std::wstring status = Wide(form_.Label5.Caption());
  wchar_t shown[1024] = {};
  ::GetWindowTextW(label, shown, 1024);
  if (status != shown) {
    ::SetWindowTextW(label, status.c_str());
    StatusTextChanged(label, status);
  }
  const ProgressBar& bar = form_.ProgressBar1;
  const HWND progress = Control("ProgressBar1");
  // Setting the range redraws the bar even when it is the same: once a second while idle.
  PBRANGE range{};
  ::SendMessageW(progress, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  if (range.iLow != bar.Min || range.iHigh != bar.Max)
    ::SendMessageW(progress, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min), bar.Max);
  if (bar.Value >= bar.Min && bar.Value <= bar.Max)
    ::SendMessageW(progress, PBM_SETPOS, static_cast<WPARAM>(bar.Value), 0);
}

void Win32MainWindow::RepaintNow() {
  if (window_ == nullptr)
    return;
  MirrorStatus();
  ApplyPointer();
  ::UpdateWindow(Control("Label5"));
  ::UpdateWindow(Control("ProgressBar1"));
}

// The pointer shows at once where it is over the window; elsewhere WM_SETCURSOR sets it when
// it comes in.
void Win32MainWindow::ApplyPointer() {
  POINT where{};
  RECT client{};
  ::GetCursorPos(&where);
  ::ScreenToClient(window_, &where);
  ::GetClientRect(window_, &client);
  if (::IsWindowVisible(window_) && ::PtInRect(&client, where))
    ::SendMessageW(window_, WM_SETCURSOR, reinterpret_cast<WPARAM>(window_),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

TwipsRect Win32MainWindow::OuterRect() {
  RECT frame{};
  ::GetWindowRect(window_, &frame);
  return {Twips(frame.left), Twips(frame.top), Twips(frame.right - frame.left),
          Twips(frame.bottom - frame.top)};
}

void Win32MainWindow::MoveTo(double left, double top) {
  ::SetWindowPos(window_, nullptr, Px(left), Px(top), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double Win32MainWindow::ScreenWidth() {
  return Twips(::GetSystemMetrics(SM_CXSCREEN));
}

double Win32MainWindow::ScreenHeight() {
  return Twips(::GetSystemMetrics(SM_CYSCREEN));
}

WindowState Win32MainWindow::State() {
  return ::IsIconic(window_) ? WindowState::kMinimized : WindowState::kNormal;
}

void Win32MainWindow::SetState(WindowState state) {
  if (state == WindowState::kMinimized)
    ::ShowWindow(window_, SW_MINIMIZE);
  else if (::IsWindowVisible(window_))
    ::ShowWindow(window_, SW_RESTORE);
  // A hidden window is restored when it is shown again.
}

void Win32MainWindow::Show() {
  ::ShowWindow(window_, ::IsIconic(window_) ? SW_RESTORE : SW_SHOW);
  ::SetForegroundWindow(window_);
}

void Win32MainWindow::Hide() {
  ::ShowWindow(window_, SW_HIDE);
}

bool Win32MainWindow::HasNotificationArea() {
  return ::FindWindowA("Shell_TrayWnd", nullptr) != nullptr;
}

bool Win32MainWindow::LoadCustomPointer(const std::string& path) {
  HCURSOR pointer = ::LoadCursorFromFileA(AnsiFromUtf8(path).c_str());
  if (pointer == nullptr)  // a folder name outside the code page
    pointer = ::LoadCursorFromFileW(Wide(path).c_str());
  if (pointer == nullptr)
    return false;
  if (custom_pointer_ != nullptr)
    ::DestroyCursor(custom_pointer_);
  custom_pointer_ = pointer;
  return true;
}

void Win32MainWindow::Quit() {
  closing_ = true;
  if (window_ != nullptr)
    ::DestroyWindow(window_);
  ::PostQuitMessage(0);
}

void Win32MainWindow::CloseRequested() {
  if (closing_)
    return;
  if (behaviour_ == nullptr) {  // nothing behind the window: it just ends
    Quit();
    return;
  }
  closing_ = true;
  behaviour_->Form_QueryUnload();
  behaviour_->Form_Unload();
}

void Win32MainWindow::Command(int id, int notification) {
  const std::size_t entry = static_cast<std::size_t>(id - kFirstTrayMenuId);
  if (id >= kFirstTrayMenuId && entry < kTrayMenu.size()) {
    if (behaviour_ != nullptr)
      (behaviour_->*kTrayMenu[entry].choose)();
    Mirror();
    return;
  }
  const std::size_t index = static_cast<std::size_t>(id - kFirstControlId);
  if (behaviour_ == nullptr || id < kFirstControlId || index >= kControlTable.size())
    return;  // Enter and Escape have no action
  const ControlRow& row = kControlTable[index];
  const HWND control = ::GetDlgItem(window_, id);
  if (row.kind == ControlKind::kListBox) {
    if (notification != LBN_SELCHANGE)
      return;
    const auto selected = static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0));
    if (selected < 0 || selected == form_.List1.ListIndex)
      return;
    form_.List1.ListIndex = selected;
    (behaviour_->*row.click)();
    return;
  }
  if (row.box == nullptr || notification != BN_CLICKED)
    return;  // Command1 has no action
  // A tick box takes the new tick; a picture button's handler unticks it again.
  (form_.*row.box).Value = row.kind == ControlKind::kPictureButton ||
                                   ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED
                               ? kTicked
                               : kUnticked;
  if (row.click == nullptr)
    return;
  (behaviour_->*row.click)();
  Mirror();
}

// The menu posts its command, so it is closed before the command runs, whatever the command does
// to the window.
void Win32MainWindow::ShowTrayMenu() {
  const HMENU menu = ::CreatePopupMenu();
  if (menu == nullptr)
    return;
  for (std::size_t index = 0; index < kTrayMenu.size(); ++index) {
    const TrayMenuRow& row = kTrayMenu[index];
    const bool ticked =
        row.ticked != nullptr && behaviour_ != nullptr && (behaviour_->*row.ticked)();
    ::AppendMenuW(menu, MF_STRING | (ticked ? MF_CHECKED : MF_UNCHECKED),
                  static_cast<UINT_PTR>(TrayMenuId(index)), Wide(std::string(row.caption)).c_str());
  }
  ::SetMenuDefaultItem(menu, static_cast<UINT>(TrayMenuId(0)), FALSE);  // as a double click
  POINT where{};
  ::GetCursorPos(&where);
  // Windows' rule for a notification-area menu: without its window in front the menu stays open
  // after a click elsewhere, and without a message after it the next one closes at once.
  ::SetForegroundWindow(window_);
  ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, where.x, where.y, 0, window_, nullptr);
  ::PostMessageW(window_, WM_NULL, 0, 0);
  ::DestroyMenu(menu);
}

void Win32MainWindow::PointerMoved(Hover hover) {
  if (behaviour_ != nullptr)
    behaviour_->MouseMove(hover);
}

// A group box lets the pointer through to the window: over a frame with a hover the pointer
// counts as over the frame, elsewhere as over the window.
Hover Win32MainWindow::HoverAt(int x, int y) const {
  const POINT where{x, y};
  for (const ControlRow& row : kControlTable) {
    if (row.kind != ControlKind::kFrame || row.hover == Hover::kNone)
      continue;
    RECT frame{};
    ::GetWindowRect(Control(std::string(row.name)), &frame);
    ::MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&frame), 2);
    if (::PtInRect(&frame, where))
      return row.hover;
  }
  return Hover::kArrow;
}

// The text colour always with its background: black on white as laid out, whatever colours the
// theme gives controls, or the high-contrast theme's own pair.
LRESULT Win32MainWindow::ControlColour(HDC dc) {
  ::SetTextColor(dc, TextColour());
  ::SetBkColor(dc, high_contrast_ ? ::GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255));
  return reinterpret_cast<LRESULT>(Background());
}

LRESULT CALLBACK Win32MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<Win32MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
  }
  Win32MainWindow* self = Self(window);
  if (self == nullptr)
    return ::DefWindowProcA(window, message, wparam, lparam);
  return self->OnMessage(message, wparam, lparam);
}

LRESULT CALLBACK Win32MainWindow::HoverProc(HWND control, UINT message, WPARAM wparam,
                                            LPARAM lparam, UINT_PTR id, DWORD_PTR self) {
  if (message == WM_MOUSEMOVE)
    reinterpret_cast<Win32MainWindow*>(self)->PointerMoved(static_cast<Hover>(id));
  else if (message == WM_NCDESTROY)
    ::RemoveWindowSubclass(control, HoverProc, id);
  return ::DefSubclassProc(control, message, wparam, lparam);
}

LRESULT Win32MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND window = window_;
  if (message == taskbar_created_message_ && message != 0) {
    if (taskbar_created_)
      taskbar_created_();
    return 0;
  }
  switch (message) {
    case mSysTray::TRAY_CALLBACK_MESSAGE:
      // The tray's hook has raised the control's event already; the menu comes on button up.
      if (lparam == WM_RBUTTONUP || lparam == WM_CONTEXTMENU)
        ShowTrayMenu();
      return 0;
    case WM_COMMAND:
      Command(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_TIMER:
      if (wparam == kTimer1 && behaviour_ != nullptr)
        behaviour_->Timer1_Timer();
      return 0;
    case WM_SIZE:
      if (behaviour_ != nullptr)
        behaviour_->Form_Resize();
      break;
    case WM_MOUSEMOVE:
      PointerMoved(HoverAt(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lparam) == HTCLIENT) {
        HCURSOR pointer = ::LoadCursorA(nullptr, IDC_ARROW);
        if (form_.MousePointer == Pointer::kBusy)
          pointer = ::LoadCursorA(nullptr, IDC_WAIT);
        else if (form_.MousePointer == Pointer::kCustom && custom_pointer_ != nullptr)
          pointer = custom_pointer_;
        ::SetCursor(pointer);
        return TRUE;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      return ControlColour(reinterpret_cast<HDC>(wparam));
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(window, &client);
      ::FillRect(reinterpret_cast<HDC>(wparam), &client, Background());
      return 1;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->hwndItem != Control("Label5"))
        break;
      DrawStatus(*item);
      return TRUE;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_THEMECHANGED:
      ColoursChanged();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE)
        last_focus_ = ::GetFocus();
      break;
    case WM_SETFOCUS:
      if (last_focus_ != nullptr && ::IsChild(window, last_focus_)) {
        ::SetFocus(last_focus_);
        return 0;
      }
      break;
    case WM_CLOSE:
      CloseRequested();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // The session ends: the tray icon goes like at any close.
      if (wparam != 0)
        CloseRequested();
      return 0;
    case WM_DESTROY:
      if (timer_running_)
        ::KillTimer(window, kTimer1);
      timer_running_ = false;
      break;
    case WM_NCDESTROY:
      window_ = nullptr;
      break;
    default:
      break;
  }
  return ::DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace larkspur
