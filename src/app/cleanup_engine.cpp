#include "app/cleanup_engine.h"

#include "platform/firefox_layout.h"

namespace larkspur {

CleanupEngine::CleanupEngine(Form1& form, NativeStores& stores, bool preview)
    : form_(form),
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

}  // namespace larkspur
