#pragma once
// The notification area on Linux: each icon the tray control adds is a QSystemTrayIcon, and its
// activations come back to the icon's window as the shell's mouse messages. Desktops that speak
// the StatusNotifierItem protocol send an activation (a single click) and never a double click,
// so an activation also runs the menu's default action.
#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <cstdint>
#include <map>
#include <utility>

#include "platform/notify_area.h"

namespace larkspur {

class QtNotifyArea final : public QObject, public NotifyAreaPort, public WindowSubclassPort {
  Q_OBJECT

 public:
  explicit QtNotifyArea(QObject* parent = nullptr);
  ~QtNotifyArea() override;

  // Whether the desktop has a notification area. Without one an added icon is never seen, so a
  // window must not hide into it.
  static bool Available();

  // Makes an icon known by a handle, for hIcon; 0 is never given out.
  IconHandle RegisterIcon(const QIcon& icon);

  bool ShellNotifyIcon(std::uint32_t message, const NotifyIconDataA& data) override;
  void Subclass(WindowHandle window, SubclassProcedure procedure) override;
  void Unsubclass(WindowHandle window) override;

  // The context menu of every icon, now and later; its default action answers an activation.
  void SetMenu(QMenu* menu);

  // The Qt icon that stands for a window's icon id, or null.
  QSystemTrayIcon* TrayIcon(WindowHandle window, std::uint32_t id) const;

 private:
  using Key = std::pair<WindowHandle, std::uint32_t>;
  struct Entry {
    QSystemTrayIcon* icon = nullptr;  // a child of this object
    std::uint32_t callback_message = 0;
  };

  void Apply(Entry& entry, const NotifyIconDataA& data);
  void Activated(Key key, QSystemTrayIcon::ActivationReason reason);

  std::map<Key, Entry> entries_;
  std::map<IconHandle, QIcon> icons_;
  std::map<WindowHandle, SubclassProcedure> hooks_;
  IconHandle next_icon_ = 1;
  QPointer<QMenu> menu_;
};

}  // namespace larkspur
