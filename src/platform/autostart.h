#pragma once
// Whether the program starts with the user's session, hidden in the notification area (--tray).
#include <memory>
#include <string>

#include "platform/user_folders.h"

namespace larkspur {

class AutostartPort {
 public:
  virtual ~AutostartPort() = default;
  virtual bool IsOn() = 0;
  // False when the change could not be made; the old state stays.
  virtual bool SetOn(bool on) = 0;
};

// Linux: ${XDG_CONFIG_HOME:-~/.config}/autostart/larkspur.desktop. Windows: the value "Larkspur"
// under HKCU\Software\Microsoft\Windows\CurrentVersion\Run. Both start the running program file.
std::unique_ptr<AutostartPort> MakeAutostart(const UserFolders& folders);

}  // namespace larkspur
