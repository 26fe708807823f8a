#include "ui/qt/qt_notify_area.h"

#include <cstring>
#include <vector>

namespace larkspur {

namespace {

// Activations as the mouse messages the Windows shell sends for the same clicks. Qt reports
// presses only, so each button's up follows at once.
std::vector<std::uint32_t> MouseMessages(QSystemTrayIcon::ActivationReason reason) {
  switch (reason) {
    case QSystemTrayIcon::Trigger:
      return {kWmLButtonDown, kWmLButtonUp};
    case QSystemTrayIcon::DoubleClick:
      return {kWmLButtonDblClk, kWmLButtonUp};
    case QSystemTrayIcon::Context:
      return {kWmRButtonDown, kWmRButtonUp};
    case QSystemTrayIcon::MiddleClick:
      return {kWmMButtonDown, kWmMButtonUp};
    case QSystemTrayIcon::Unknown:
      break;
  }
  return {};
}

}  // namespace

QtNotifyArea::QtNotifyArea(QObject* parent) : QObject(parent) {}

QtNotifyArea::~QtNotifyArea() {
  for (auto& [key, entry] : entries_)
    entry.icon->hide();
}

bool QtNotifyArea::Available() {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

IconHandle QtNotifyArea::RegisterIcon(const QIcon& icon) {
  icons_[next_icon_] = icon;
  return next_icon_++;
}

bool QtNotifyArea::ShellNotifyIcon(std::uint32_t message, const NotifyIconDataA& data) {
  const Key key{data.hWnd, data.uID};
  const auto found = entries_.find(key);
  switch (message) {
    case kNimAdd: {
      if (found != entries_.end())
        return false;
      Entry& entry = entries_[key];
      entry.icon = new QSystemTrayIcon(this);
      connect(entry.icon, &QSystemTrayIcon::activated, this,
              [this, key](QSystemTrayIcon::ActivationReason reason) { Activated(key, reason); });
      entry.icon->setContextMenu(menu_);
      Apply(entry, data);
      return Available();
    }
    case kNimModify:
      if (found == entries_.end())
        return false;
      Apply(found->second, data);
      return true;
    case kNimDelete:
      if (found == entries_.end())
        return false;
      found->second.icon->hide();
      // It may be the icon whose activation is being handled right now.
      found->second.icon->deleteLater();
      entries_.erase(found);
      return true;
    default:
      return false;
  }
}

void QtNotifyArea::Apply(Entry& entry, const NotifyIconDataA& data) {
  if (data.uFlags & kNifMessage)
    entry.callback_message = data.uCallbackMessage;
  if (data.uFlags & kNifTip)
    entry.icon->setToolTip(QString::fromUtf8(data.szTip, strnlen(data.szTip, kTipBytes)));
  if (data.uFlags & kNifIcon) {
    const auto icon = icons_.find(data.hIcon);
    entry.icon->setIcon(icon != icons_.end() ? icon->second : QIcon());
  }
  // An icon added without a picture shows once it gets one.
  entry.icon->setVisible(!entry.icon->icon().isNull());
}

void QtNotifyArea::Subclass(WindowHandle window, SubclassProcedure procedure) {
  hooks_[window] = std::move(procedure);
}

void QtNotifyArea::Unsubclass(WindowHandle window) {
  hooks_.erase(window);
}

void QtNotifyArea::SetMenu(QMenu* menu) {
  menu_ = menu;
  for (auto& [key, entry] : entries_)
    entry.icon->setContextMenu(menu);
}

QSystemTrayIcon* QtNotifyArea::TrayIcon(WindowHandle window, std::uint32_t id) const {
  const auto found = entries_.find({window, id});
  return found != entries_.end() ? found->second.icon : nullptr;
}

void QtNotifyArea::Activated(Key key, QSystemTrayIcon::ActivationReason reason) {
  if (reason == QSystemTrayIcon::Trigger && menu_ != nullptr && menu_->defaultAction() != nullptr)
    menu_->defaultAction()->trigger();
  // Qt's widgets handle their own events; only the tray's callbacks take the hook.
  static const WindowProcedure kNoPrevious = [](WindowHandle, std::uint32_t, std::uintptr_t,
                                                std::intptr_t) -> std::intptr_t { return 0; };
  for (const std::uint32_t mouse_message : MouseMessages(reason)) {
    // A handler of the first message may have removed the icon or the hook.
    const auto entry = entries_.find(key);
    const auto hook = hooks_.find(key.first);
    if (entry == entries_.end() || entry->second.callback_message == 0 || hook == hooks_.end())
      return;
    const SubclassProcedure procedure = hook->second;
    procedure(key.first, entry->second.callback_message, key.second, mouse_message, kNoPrevious);
  }
}

}  // namespace larkspur
