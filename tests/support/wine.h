#pragma once
// Tests that change the real Windows stores (registry, URL cache) run only under Wine, in the
// throw-away prefix that the test script makes, and never on a user's Windows.
#ifdef _WIN32
#include <windows.h>

namespace larkspur::testing {

inline bool RunningUnderWine() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace larkspur::testing

#define LARKSPUR_REQUIRE_WINE()                                                \
  do {                                                                         \
    if (!::larkspur::testing::RunningUnderWine())                              \
      GTEST_SKIP() << "changes the real Windows stores; runs only under Wine"; \
  } while (false)
#endif
