#pragma once
// The deleting half of the main window, built on the platform's stores. It lives as long as
// the window, and so do the once-per-process cache deletions.
#include "app/cleanup_steps.h"
#include "app/form1.h"
#include "platform/native_stores.h"

namespace larkspur {

class CleanupEngine {
 public:
  CleanupEngine(Form1& form, NativeStores& stores);
  CleanupEngine(const CleanupEngine&) = delete;
  CleanupEngine& operator=(const CleanupEngine&) = delete;

  // Fills the hidden cache lists, as the window's start-up does.
  void LoadCacheEntries() { ie_.Load_IECacheEntries(); }
  // One clean-up run of the ticked boxes; what stayed and why comes back (empty: all went).
  std::string RunTickedSteps() { return larkspur::RunTickedSteps(form_, cleaners_); }

 private:
  Form1& form_;
  IEHistory ie_;
  FirefoxHistory firefox_;
  Cleaners cleaners_;
};

}  // namespace larkspur
