#pragma once
// The deleting half of the main window, built on the platform's stores. It lives as long as
// the window, and so do the once-per-process cache deletions.
#include <string>
#include <vector>

#include "app/cleanup_steps.h"
#include "app/form1.h"
#include "platform/native_stores.h"

namespace larkspur {

class CleanupEngine {
 public:
  // `list_sizes`: each "-->" line ends with the thing's size, as a preview lists them.
  CleanupEngine(Form1& form, NativeStores& stores, bool list_sizes = false);
  CleanupEngine(const CleanupEngine&) = delete;
  CleanupEngine& operator=(const CleanupEngine&) = delete;

  // Fills the hidden cache lists, as the window's start-up does.
  void LoadCacheEntries() { ie_.Load_IECacheEntries(); }
  // One clean-up run of the ticked boxes; what a browser kept and why comes back (empty: none).
  std::string RunTickedSteps() { return larkspur::RunTickedSteps(form_, cleaners_); }
  // The Chromium browsers but Edge that have a profile here, for the user to read.
  std::vector<std::string> ChromiumBrowsersFound() const { return chromium_.BrowsersFound(); }
  // What the last run removed and left, item by item.
  const RunRecord& Record() const { return record_; }

 private:
  Form1& form_;
  RunRecord record_;
  IEHistory ie_;
  FirefoxHistory firefox_;
  ChromiumHistory chromium_;
  Cleaners cleaners_;
};

}  // namespace larkspur
