#include "ui/win32/accessible_props.h"

#include <objbase.h>
// before oleacc.h: defines its property and class identifiers here
#include <initguid.h>
#include <oleacc.h>

namespace larkspur {

AccessibleProps::AccessibleProps() {
  com_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  void* services = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, &services)))
    services_ = static_cast<IAccPropServices*>(services);
}

AccessibleProps::~AccessibleProps() {
  if (services_ != nullptr)
    services_->Release();
  if (com_)
    ::CoUninitialize();
}

void AccessibleProps::SetName(HWND control, const std::wstring& name) {
  if (services_ != nullptr && control != nullptr)
    services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                              PROPID_ACC_NAME, name.c_str());
}

void AccessibleProps::Hide(HWND control) {
  if (services_ == nullptr || control == nullptr)
    return;
  VARIANT state;
  ::VariantInit(&state);
  state.vt = VT_I4;
  state.lVal = STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
  services_->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_STATE,
                         state);
  services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                            PROPID_ACC_NAME, L"");
}

void AnnounceNameChange(HWND control) {
  ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace larkspur
