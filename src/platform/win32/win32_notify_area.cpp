#include "platform/win32/win32_notify_area.h"

#include <cstring>
#include <string>
#include <string_view>

#include "platform/win32/code_page.h"

namespace larkspur {

static_assert(kNotifyIconDataV1Size == NOTIFYICONDATAA_V1_SIZE);
static_assert(kNimAdd == NIM_ADD && kNimModify == NIM_MODIFY && kNimDelete == NIM_DELETE);
static_assert(kNifMessage == NIF_MESSAGE && kNifIcon == NIF_ICON && kNifTip == NIF_TIP);
static_assert(kWmMouseMove == WM_MOUSEMOVE && kWmLButtonDown == WM_LBUTTONDOWN &&
              kWmLButtonDblClk == WM_LBUTTONDBLCLK && kWmRButtonUp == WM_RBUTTONUP &&
              kWmMButtonDblClk == WM_MBUTTONDBLCLK);

NOTIFYICONDATAA RecordFor(const NotifyIconDataA& data) {
  NOTIFYICONDATAA record{};
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = reinterpret_cast<HWND>(data.hWnd);
  record.uID = data.uID;
  record.uFlags = data.uFlags;
  record.uCallbackMessage = data.uCallbackMessage;
  record.hIcon = reinterpret_cast<HICON>(data.hIcon);
  const std::string tip =
      AnsiFromUtf8(std::string_view(data.szTip, strnlen(data.szTip, kTipBytes)));
  // The first form holds 64 bytes of szTip, whatever the header's size.
  const std::size_t length = tip.size() < kTipBytes - 1 ? tip.size() : kTipBytes - 1;
  std::memcpy(record.szTip, tip.data(), length);
  record.szTip[length] = '\0';
  return record;
}

bool Win32NotifyArea::ShellNotifyIcon(std::uint32_t message, const NotifyIconDataA& data) {
  NOTIFYICONDATAA record = RecordFor(data);
  const bool done = ::Shell_NotifyIconA(message, &record) != FALSE;
  const auto key = std::make_pair(record.hWnd, record.uID);
  if (message == NIM_ADD) {
    // Kept even when it failed: without a notification area yet, the icon comes with one.
    icons_[key] = record;
  } else if (message == NIM_DELETE) {
    icons_.erase(key);
  } else if (const auto found = icons_.find(key); message == NIM_MODIFY && found != icons_.end()) {
    NOTIFYICONDATAA& kept = found->second;
    kept.uFlags |= record.uFlags;
    if (record.uFlags & NIF_MESSAGE)
      kept.uCallbackMessage = record.uCallbackMessage;
    if (record.uFlags & NIF_ICON)
      kept.hIcon = record.hIcon;
    if (record.uFlags & NIF_TIP)
      std::memcpy(kept.szTip, record.szTip, sizeof kept.szTip);
  }
  return done;
}

void Win32NotifyArea::AddAgain() {
  // An icon the area still shows refuses the add, and stays as it is.
  for (auto& [key, record] : icons_)
    ::Shell_NotifyIconA(NIM_ADD, &record);
}

Win32WindowSubclass::~Win32WindowSubclass() {
  while (!hooks_.empty())
    Remove(reinterpret_cast<HWND>(hooks_.begin()->first), Ending::kAdapter);
}

void Win32WindowSubclass::Subclass(WindowHandle window, SubclassProcedure procedure) {
  const HWND hwnd = reinterpret_cast<HWND>(window);
  if (!::IsWindow(hwnd))
    return;
  auto shared = std::make_shared<const SubclassProcedure>(std::move(procedure));
  if (const auto found = hooks_.find(window); found != hooks_.end()) {
    found->second->procedure = std::move(shared);
    return;
  }
  const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
  // The record's slot holds one hook a window; another subclasser of ours owns this one.
  if (current == &HookProcedure)
    return;
  auto hook = std::make_unique<Hook>(
      Hook{this, current, ::GetWindowLongPtrA(hwnd, GWLP_USERDATA), std::move(shared)});
  ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hook.get()));
  ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HookProcedure));
  hooks_[window] = std::move(hook);
}

void Win32WindowSubclass::Unsubclass(WindowHandle window) {
  Remove(reinterpret_cast<HWND>(window), Ending::kHook);
}

void Win32WindowSubclass::Remove(HWND hwnd, Ending ending) {
  const auto found = hooks_.find(reinterpret_cast<WindowHandle>(hwnd));
  if (found == hooks_.end())
    return;
  Hook& hook = *found->second;
  hook.procedure.reset();
  const bool on_top =
      reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC)) == &HookProcedure;
  if (on_top) {
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.previous));
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, hook.previous_user_data);
  } else if (ending != Ending::kWindow && ::IsWindow(hwnd)) {
    // Someone subclassed the window after us and calls our procedure to pass messages on: taking
    // it out would take them out too. It stays, passing everything on.
    if (ending == Ending::kHook)
      return;
    // We end before the window: the record stays for good, without its owner.
    hook.owner = nullptr;
    (void)found->second.release();
  }
  hooks_.erase(found);
}

LRESULT CALLBACK Win32WindowSubclass::HookProcedure(HWND hwnd, UINT message, WPARAM wParam,
                                                    LPARAM lParam) {
  const auto* hook = reinterpret_cast<const Hook*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (hook == nullptr)
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  // Copies: the procedure may remove the hook, and the record with it.
  Win32WindowSubclass* const owner = hook->owner;
  const WNDPROC previous = hook->previous;
  const std::shared_ptr<const SubclassProcedure> procedure = hook->procedure;

  LRESULT result;
  if (procedure && *procedure) {
    const WindowProcedure pass_on = [previous](WindowHandle window, std::uint32_t msg,
                                               std::uintptr_t w, std::intptr_t l) {
      return static_cast<std::intptr_t>(
          ::CallWindowProcA(previous, reinterpret_cast<HWND>(window), msg, w, l));
    };
    result = (*procedure)(reinterpret_cast<WindowHandle>(hwnd), message, wParam, lParam, pass_on);
  } else {
    result = ::CallWindowProcA(previous, hwnd, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY && owner != nullptr)
    owner->Remove(hwnd, Ending::kWindow);
  return result;
}

}  // namespace larkspur
