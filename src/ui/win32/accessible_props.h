#pragma once
// Names and states for assistive technology where a control's own text would not serve: the
// browser before a tick box's caption, the list's and the bar's names, the hidden focus holder.
#include <windows.h>

#include <string>

struct IAccPropServices;

namespace larkspur {

class AccessibleProps {
 public:
  AccessibleProps();
  ~AccessibleProps();
  AccessibleProps(const AccessibleProps&) = delete;
  AccessibleProps& operator=(const AccessibleProps&) = delete;

  void SetName(HWND control, const std::wstring& name);
  // The control is no control to assistive technology: invisible, without name.
  void Hide(HWND control);

 private:
  IAccPropServices* services_ = nullptr;
  bool com_ = false;
};

// A new status text: a screen reader reads the label's name again.
void AnnounceNameChange(HWND control);

}  // namespace larkspur
