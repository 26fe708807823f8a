#include "tray/sys_tray.h"

#include <cstring>
#include <utility>

namespace larkspur {

namespace {

bool IsIcon(const PictureRef& picture) {
  return picture && picture->type == PictureType::kIcon;
}

// Every call starts from a record cleared to zero.
NotifyIconDataA Record(WindowHandle hwnd, std::int32_t id) {
  NotifyIconDataA data{};
  data.cbSize = kNotifyIconDataV1Size;
  data.hWnd = hwnd;
  data.uID = static_cast<std::uint32_t>(id);
  return data;
}

void SetTip(NotifyIconDataA& data, const std::string& tip) {
  const std::string cut = CutTip(tip);
  std::memcpy(data.szTip, cut.data(), cut.size());
  data.szTip[cut.size()] = '\0';
}

// A copy, so that a handler that replaces itself or ends the control finishes safely.
template <typename Handler, typename... Args>
void Raise(const Handler& handler, Args... args) {
  if (Handler copy = handler)
    copy(args...);
}

}  // namespace

std::string CutTip(const std::string& tip) {
  std::size_t length = tip.size() < kTipBytes - 1 ? tip.size() : kTipBytes - 1;
  if (length < tip.size()) {
    // Back up to the start of the character the cut would split.
    while (length > 0 && (static_cast<unsigned char>(tip[length]) & 0xC0) == 0x80)
      --length;
  }
  return tip.substr(0, length);
}

cSysTray::cSysTray(TraySite site, PictureRef own_picture)
    : site_(site), TrayHwnd_(site.window), picture_(std::move(own_picture)) {}

cSysTray::~cSysTray() {
  if (InTray_)
    SetInTray(false);
}

void cSysTray::SetTrayIcon(PictureRef Icon) {
  if (!IsIcon(Icon))
    return;
  if (IconAdded_)
    Modify(kNifIcon, Icon->handle, {});
  TrayIcon_ = Icon;
  picture_ = std::move(Icon);
  Changed("TrayIcon");
}

void cSysTray::SetTrayTip(const std::string& Tip) {
  if (IconAdded_)
    Modify(kNifTip, 0, Tip);
  TrayTip_ = Tip;
  Changed("TrayTip");
}

void cSysTray::SetInTray(bool Show) {
  if (Show == InTray_)
    return;
  if (Show) {
    if (site_.user_mode) {
      mSysTray::Install(site_.subclass, TrayHwnd_, *this);
      AddToTray(TrayHwnd_, TrayId_, TrayTip_, TrayIcon_);
      IconAdded_ = true;
    }
  } else if (IconAdded_) {
    RemoveFromTray(TrayHwnd_, TrayId_);
    mSysTray::Remove(site_.subclass, TrayHwnd_);
    IconAdded_ = false;
  }
  InTray_ = Show;
  Changed("InTray");
}

void cSysTray::InitNew() {
  SetInTray(false);
  SetTrayTip(kDefaultTip);
  SetTrayIcon(picture_);
}

void cSysTray::ReadProperties(const PropertyBag& bag) {
  const auto read = [&bag](const char* key, PropertyValue fallback) {
    const auto found = bag.find(key);
    return found != bag.end() && found->second.index() == fallback.index() ? found->second
                                                                           : fallback;
  };
  SetInTray(std::get<bool>(read("InTray", false)));
  SetTrayIcon(std::get<PictureRef>(read("TrayIcon", picture_)));
  SetTrayTip(std::get<std::string>(read("TrayTip", std::string(kDefaultTip))));
}

void cSysTray::WriteProperties(PropertyBag& bag) const {
  bag["InTray"] = InTray_;
  bag["TrayIcon"] = TrayIcon_;
  bag["TrayTip"] = TrayTip_;
}

void cSysTray::Resize(int, int) {
  width_ = kSizeTwips;
  height_ = kSizeTwips;
}

void cSysTray::HandleTrayMessage(std::intptr_t mouse_message, std::int32_t Id) {
  switch (mouse_message) {
    case kWmMouseMove:
      Raise(MouseMove, Id);
      break;
    case kWmLButtonDown:
      Raise(MouseDown, std::int16_t{1}, Id);
      break;
    case kWmLButtonUp:
      Raise(MouseUp, std::int16_t{1}, Id);
      break;
    case kWmLButtonDblClk:
      Raise(MouseDblClick, std::int16_t{1}, Id);
      break;
    case kWmRButtonDown:
      Raise(MouseDown, std::int16_t{2}, Id);
      break;
    case kWmRButtonUp:
      Raise(MouseUp, std::int16_t{2}, Id);
      break;
    case kWmRButtonDblClk:
      Raise(MouseDblClick, std::int16_t{2}, Id);
      break;
    default:
      break;
  }
}

void cSysTray::AddToTray(WindowHandle hwnd, std::int32_t id, const std::string& tip,
                         const PictureRef& icon) {
  NotifyIconDataA data = Record(hwnd, id);
  if (icon) {
    data.hIcon = icon->handle;
    data.uFlags |= kNifIcon;
    TrayIcon_ = icon;
  }
  if (!tip.empty()) {
    SetTip(data, tip);
    data.uFlags |= kNifTip;
    TrayTip_ = tip;
  }
  data.uCallbackMessage = mSysTray::TRAY_CALLBACK_MESSAGE;
  data.uFlags |= kNifMessage;
  site_.notify_area.ShellNotifyIcon(kNimAdd, data);
}

void cSysTray::RemoveFromTray(WindowHandle hwnd, std::int32_t id) {
  site_.notify_area.ShellNotifyIcon(kNimDelete, Record(hwnd, id));
}

void cSysTray::Modify(std::uint32_t flags, IconHandle icon, const std::string& tip) {
  NotifyIconDataA data = Record(TrayHwnd_, TrayId_);
  data.uFlags = flags;
  if (flags & kNifIcon)
    data.hIcon = icon;
  if (flags & kNifTip)
    SetTip(data, tip);
  site_.notify_area.ShellNotifyIcon(kNimModify, data);
}

void cSysTray::Changed(const char* key) {
  Raise(PropertyChanged, std::string(key));
}

}  // namespace larkspur
