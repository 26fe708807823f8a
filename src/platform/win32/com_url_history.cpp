#include "platform/win32/com_url_history.h"

#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>
#include <windows.h>

namespace larkspur {

namespace {

// Wine's history object answers ClearHistory with E_NOTIMPL, which lets a preview say so too.
bool UnderWine() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

StayReason WhyNotCleared(HRESULT result) {
  if (result == E_NOTIMPL)
    return StayReason::kNotSupported;
  if (result == HRESULT_FROM_WIN32(ERROR_SHARING_VIOLATION) ||
      result == HRESULT_FROM_WIN32(ERROR_LOCK_VIOLATION))
    return StayReason::kInUse;
  return StayReason::kAccessRefused;
}

}  // namespace

bool ComUrlHistory::ClearHistory(StayReason* why_not) {
  const auto fail = [why_not](StayReason why) {
    if (why_not != nullptr)
      *why_not = why;
    return false;
  };
  if (preview_)
    return !UnderWine() || fail(StayReason::kNotSupported);
  const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // A thread already in the multithreaded apartment can make the object as it is.
  if (FAILED(init) && init != RPC_E_CHANGED_MODE)
    return fail(StayReason::kNotFound);

  HRESULT cleared = REGDB_E_CLASSNOTREG;
  IUrlHistoryStg2* history = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IUrlHistoryStg2, reinterpret_cast<void**>(&history))) &&
      history != nullptr) {
    cleared = history->ClearHistory();
    history->Release();
  }

  // S_FALSE too: every successful CoInitializeEx takes one CoUninitialize.
  if (SUCCEEDED(init))
    ::CoUninitialize();
  if (cleared == REGDB_E_CLASSNOTREG)
    return fail(StayReason::kNotFound);  // no history object on this system
  return SUCCEEDED(cleared) || fail(WhyNotCleared(cleared));
}

}  // namespace larkspur
