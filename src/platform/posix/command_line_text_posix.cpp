#include "platform/command_line_text.h"

namespace larkspur {

const char kDemoUsage[] = "[--demo] ";
const char kDemoOptionHelp[] =
    "  --demo          build a fresh folder of sample browsing traces in a temporary\n"
    "                  folder, print its path, and point every store into it\n";
const char kFilesHelp[] =
    "Files:\n"
    "  ${XDG_CONFIG_HOME:-~/.config}/Quillmark/settings.ini   the settings\n"
    "  ${XDG_DATA_HOME:-~/.local/share}/larkspur/             the stand-ins for the Windows\n"
    "                                                         registry, URL cache and history\n"
    "  ${XDG_STATE_HOME:-~/.local/state}/larkspur/larkspur.log   the run log (\"View Save Log\")\n"
    "  ~/.mozilla/firefox or ${XDG_CONFIG_HOME:-~/.config}/mozilla/firefox   Firefox's profiles\n"
    "  ~/snap/firefox/common/.mozilla/firefox                 the Snap Firefox's profiles\n"
    "  ~/.var/app/org.mozilla.firefox/.mozilla/firefox, .../config/mozilla/firefox\n"
    "                                                         the Flatpak Firefox's profiles\n"
    "  ${XDG_CONFIG_HOME:-~/.config}/google-chrome, chromium, microsoft-edge, vivaldi, opera,\n"
    "  .../BraveSoftware/Brave-Browser, and their Snap and Flatpak homes\n"
    "                                                         the Chromium browsers' profiles\n"
    "  ${XDG_CONFIG_HOME:-~/.config}/autostart/larkspur.desktop   \"Start at sign-in\"\n";

}  // namespace larkspur
