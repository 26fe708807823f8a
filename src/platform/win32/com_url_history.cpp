#include "platform/win32/com_url_history.h"

#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>
#include <windows.h>

namespace larkspur {

bool ComUrlHistory::ClearHistory() {
  if (preview_)
    return true;
  const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // A thread already in the multithreaded apartment can make the object as it is.
  if (FAILED(init) && init != RPC_E_CHANGED_MODE)
    return false;

  bool cleared = false;
  IUrlHistoryStg2* history = nullptr;
  if (SUCCEEDED(::CoCreateInstance(CLSID_CUrlHistory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IUrlHistoryStg2, reinterpret_cast<void**>(&history))) &&
      history != nullptr) {
    cleared = SUCCEEDED(history->ClearHistory());
    history->Release();
  }

  // S_FALSE too: every successful CoInitializeEx takes one CoUninitialize.
  if (SUCCEEDED(init))
    ::CoUninitialize();
  return cleared;
}

}  // namespace larkspur
