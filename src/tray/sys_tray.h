#pragma once
// cSysTray: one icon with a tooltip in the notification area while InTray is true, and the
// mouse actions on it as the control's events.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>

#include "platform/notify_area.h"
#include "tray/sys_tray_hook.h"

namespace larkspur {

// A picture's kind as the host's picture objects number it; only icons go into the tray.
enum class PictureType { kNone = 0, kBitmap = 1, kMetafile = 2, kIcon = 3, kEnhancedMetafile = 4 };

struct Picture {
  PictureType type = PictureType::kNone;
  IconHandle handle = 0;
};
// Pictures are shared between the host and the control.
using PictureRef = std::shared_ptr<const Picture>;

inline PictureRef IconPicture(IconHandle handle) {
  return std::make_shared<const Picture>(Picture{PictureType::kIcon, handle});
}

// A host's stored design of one control: values by storage key.
using PropertyValue = std::variant<bool, std::string, PictureRef>;
using PropertyBag = std::map<std::string, PropertyValue>;

// What the host window gives the control.
struct TraySite {
  NotifyAreaPort& notify_area;
  WindowSubclassPort& subclass;
  WindowHandle window;  // the control's own window, the owner of the icon
  bool user_mode;       // runs live in a window, not on a design surface
};

class cSysTray {
 public:
  static constexpr char kClassName[] = "Brackenfield.cSysTray";
  static constexpr char kDefaultTip[] = "Telnet Server";
  static constexpr int kSizeTwips = 510;  // on a design surface

  // own_picture is the control's built-in picture, the default of TrayIcon.
  explicit cSysTray(TraySite site, PictureRef own_picture = nullptr);
  ~cSysTray();
  cSysTray(const cSysTray&) = delete;
  cSysTray& operator=(const cSysTray&) = delete;

  // Events, raised only through the window hook. Button: 1 left, 2 right; Id: the icon's id.
  std::function<void(std::int32_t Id)> MouseMove;
  std::function<void(std::int16_t Button, std::int32_t Id)> MouseDown;
  std::function<void(std::int16_t Button, std::int32_t Id)> MouseUp;
  std::function<void(std::int16_t Button, std::int32_t Id)> MouseDblClick;
  // Told the storage key of each property set, so that a designer saves it.
  std::function<void(const std::string& key)> PropertyChanged;

  const PictureRef& TrayIcon() const { return TrayIcon_; }
  // Anything but an icon picture is ignored.
  void SetTrayIcon(PictureRef Icon);

  const std::string& TrayTip() const { return TrayTip_; }
  void SetTrayTip(const std::string& Tip);
  // The control's text is its tip.
  const std::string& Text() const { return TrayTip_; }
  void SetText(const std::string& text) { SetTrayTip(text); }

  bool InTray() const { return InTray_; }
  void SetInTray(bool Show);

  std::int32_t TrayId() const { return TrayId_; }
  WindowHandle TrayHwnd() const { return TrayHwnd_; }
  bool IconAdded() const { return IconAdded_; }
  // What the control shows of itself on a design surface.
  const PictureRef& OwnPicture() const { return picture_; }

  // A new control placed on a design surface.
  void InitNew();
  // The host's stored design; missing keys take their defaults.
  void ReadProperties(const PropertyBag& bag);
  void WriteProperties(PropertyBag& bag) const;

  // The host sizes the control; it stays square at its own size.
  void Resize(int width_twips, int height_twips);
  int Width() const { return width_; }
  int Height() const { return height_; }

  // The shell's callback for the icon: raises the event of the mouse message.
  void HandleTrayMessage(std::intptr_t mouse_message, std::int32_t Id);

 private:
  void AddToTray(WindowHandle hwnd, std::int32_t id, const std::string& tip,
                 const PictureRef& icon);
  void RemoveFromTray(WindowHandle hwnd, std::int32_t id);
  void Modify(std::uint32_t flags, IconHandle icon, const std::string& tip);
  void Changed(const char* key);

  TraySite site_;
  bool InTray_ = false;
  const std::int32_t TrayId_ = 0;
  std::string TrayTip_;
  const WindowHandle TrayHwnd_;
  PictureRef TrayIcon_;
  bool IconAdded_ = false;
  PictureRef picture_;
  int width_ = kSizeTwips;
  int height_ = kSizeTwips;
};

// szTip's text: the tip cut to what fits before the NUL, never inside a UTF-8 character.
std::string CutTip(const std::string& tip);

}  // namespace larkspur
