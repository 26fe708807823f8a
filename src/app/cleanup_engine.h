#pragma once
// The deleting half of the main window, built on the platform's stores. It lives as long as
// the window, and so do the once-per-process cache deletions.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/cleanup_steps.h"
#include "app/form1.h"
#include "platform/native_stores.h"

namespace larkspur {

class CleanupEngine {
 public:
  // `preview`: the stores change nothing, and the words say so.
  CleanupEngine(Form1& form, NativeStores& stores, bool preview = false);
  CleanupEngine(const CleanupEngine&) = delete;
  CleanupEngine& operator=(const CleanupEngine&) = delete;

  // Fills the hidden cache lists, as the window's start-up does.
  void LoadCacheEntries() { ie_.Load_IECacheEntries(); }
  // One clean-up run of the ticked boxes (see larkspur::RunTickedSteps).
  RunOutcome RunTickedSteps(bool notes_on_status_line = true) {
    return larkspur::RunTickedSteps(form_, cleaners_, notes_on_status_line);
  }
  // The Chromium browsers but Edge that have a profile here, for the user to read.
  std::vector<std::string> ChromiumBrowsersFound() const { return chromium_.BrowsersFound(); }
  // The browser groups (as in kCleanupSteps) whose browser has no data on this computer, each
  // with the sentence that says so and where it was looked for.
  std::map<std::string, std::string, std::less<>> AbsentBrowsers();
  // What the last run removed and left, item by item.
  const RunRecord& Record() const { return record_; }
  RunRecord& Record() { return record_; }

 private:
  Form1& form_;
  NativeStores& stores_;
  RunRecord record_;
  IEHistory ie_;
  FirefoxHistory firefox_;
  ChromiumHistory chromium_;
  Cleaners cleaners_;
};

}  // namespace larkspur
