#include "app/cleanup_engine.h"

#include "firefox/firefox_presence.h"
#include "platform/firefox_layout.h"

namespace larkspur {

CleanupEngine::CleanupEngine(Form1& form, NativeStores& stores, bool preview)
    : form_(form),
      stores_(stores),
      record_(form.Label5, preview),
      ie_(IECleanupPorts{*stores.registry, *stores.url_cache, *stores.url_history, *stores.memory,
                         *stores.folders, record_},
          form.List2, form.List3),
      firefox_(FirefoxPorts{*stores.registry, *stores.profile_strings, *stores.files,
                            *stores.profiles, *stores.folders, *stores.bookmarks, form.Label5,
                            record_, stores.legacy_firefox_folder, LocalToday,
                            stores.packaged_firefox_places}),
      chromium_(ChromiumPorts{*stores.registry, *stores.profiles, *stores.user_data,
                              *stores.folders, form.Label5, record_, stores.home}),
      cleaners_{ie_, firefox_, chromium_, record_} {}

std::map<std::string, std::string, std::less<>> CleanupEngine::AbsentBrowsers() {
  std::map<std::string, std::string, std::less<>> absent;
  if (!stores_.internet_explorer_missing_from.empty())
    absent["Internet Explorer"] = "Internet Explorer is not on this computer (looked for in " +
                                  stores_.internet_explorer_missing_from + ").";
  const std::string firefox = FirefoxMissing(
      FirefoxPorts{*stores_.registry, *stores_.profile_strings, *stores_.files, *stores_.profiles,
                   *stores_.folders, *stores_.bookmarks, form_.Label5, record_,
                   stores_.legacy_firefox_folder, LocalToday, stores_.packaged_firefox_places});
  if (!firefox.empty())
    absent["Mozilla Firefox"] = firefox;
  return absent;
}

}  // namespace larkspur
