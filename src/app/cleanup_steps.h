#pragma once
// The clean-up steps in the order a run takes them: Internet Explorer, Firefox, Chrome, Edge.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "chromium/chromium_history.h"
#include "firefox/firefox_history.h"
#include "iecleanup/ie_history.h"

namespace larkspur {

struct Cleaners {
  IEHistory& ie;
  FirefoxHistory& firefox;
  ChromiumHistory& chromium;
  RunRecord& record;  // the one both report to
};

struct CleanupStep {
  std::string_view item;     // its name on the command line
  std::string_view browser;  // the group its tick box sits in
  CheckBox Form1::*box;
  std::string_view status;  // written to the status line before the step runs
  void (*run)(Cleaners&);
};

inline constexpr std::array<CleanupStep, 17> kCleanupSteps{{
    {"ie-history", "Internet Explorer", &Form1::chkIEHist, "Deleting IE History...",
     [](Cleaners& c) { c.ie.Delete_IEHistory(); }},
    {"ie-temp-files", "Internet Explorer", &Form1::chkIETemp,
     "Deleting IE Temporary Internet Files...", [](Cleaners& c) { c.ie.Delete_IETempFiles(); }},
    {"ie-typed-urls", "Internet Explorer", &Form1::chkIETyped, "Deleting Typed Urls In IE...",
     [](Cleaners& c) { c.ie.Delete_IETypedUrls(); }},
    {"ie-cookies", "Internet Explorer", &Form1::chkIECookies, "Deleting IE Cookies...",
     [](Cleaners& c) { c.ie.Delete_IECookies(); }},
    {"firefox-form-history", "Mozilla Firefox", &Form1::chkFFHist, "Deleting Firefox History...",
     [](Cleaners& c) { c.firefox.Delete_FirefoxHistory(); }},
    {"firefox-downloads", "Mozilla Firefox", &Form1::chkFFDownloads,
     "Deleting Firefox Downloads...", [](Cleaners& c) { c.firefox.Delete_FirefoxDownloads(); }},
    {"firefox-typed-urls", "Mozilla Firefox", &Form1::chkTypedUrls,
     "Deleting Firefox Typed URLs...", [](Cleaners& c) { c.firefox.Delete_FirefoxTypedUrls(); }},
    {"firefox-cookies", "Mozilla Firefox", &Form1::chkCookies, "Deleting Firefox Cookies...",
     [](Cleaners& c) { c.firefox.Delete_FirefoxCookies(); }},
    {"firefox-cache", "Mozilla Firefox", &Form1::chkFFCache, "Deleting Firefox Cache...",
     [](Cleaners& c) { c.firefox.Delete_FirefoxCache(); }},
    {"chrome-history", "Google Chrome", &Form1::chkChromeHist, "Deleting Chrome History...",
     [](Cleaners& c) { c.chromium.Delete_ChromeHistory(); }},
    {"chrome-cache", "Google Chrome", &Form1::chkChromeCache, "Deleting Chrome Cache...",
     [](Cleaners& c) { c.chromium.Delete_ChromeCache(); }},
    {"chrome-cookies", "Google Chrome", &Form1::chkChromeCookies, "Deleting Chrome Cookies...",
     [](Cleaners& c) { c.chromium.Delete_ChromeCookies(); }},
    {"chrome-tabs", "Google Chrome", &Form1::chkChromeTabs, "Deleting Chrome Open Tabs...",
     [](Cleaners& c) { c.chromium.Delete_ChromeTabs(); }},
    {"edge-history", "Microsoft Edge", &Form1::chkEdgeHist, "Deleting Edge History...",
     [](Cleaners& c) { c.chromium.Delete_EdgeHistory(); }},
    {"edge-cache", "Microsoft Edge", &Form1::chkEdgeCache, "Deleting Edge Cache...",
     [](Cleaners& c) { c.chromium.Delete_EdgeCache(); }},
    {"edge-cookies", "Microsoft Edge", &Form1::chkEdgeCookies, "Deleting Edge Cookies...",
     [](Cleaners& c) { c.chromium.Delete_EdgeCookies(); }},
    {"edge-tabs", "Microsoft Edge", &Form1::chkEdgeTabs, "Deleting Edge Open Tabs...",
     [](Cleaners& c) { c.chromium.Delete_EdgeTabs(); }},
}};

// How a run ended, in words: the summary, and the sentences that follow it (what to close,
// where nothing was found, what was skipped), each once.
struct RunOutcome {
  std::string summary;
  std::vector<std::string> notes;
};

// For every ticked box, in the order above: its caption on the status line, then its step,
// counted in the record as that item; a box of a browser not on this computer (in
// `form.AbsentBrowsers`) runs nothing and says so once. At the end the status line shows the
// summary, followed by the notes unless `notes_on_status_line` is false (the command line prints
// them on stderr). Three kinds of nothing read differently: "No item is ticked.", "No Firefox
// profile found in …" (every ticked item's browser missing) and "Nothing to erase.".
RunOutcome RunTickedSteps(Form1& form, Cleaners& cleaners, bool notes_on_status_line = true);

}  // namespace larkspur
