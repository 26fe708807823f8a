#include "platform/command_line_text.h"

namespace larkspur {

const char kDemoUsage[] = "";
const char kDemoOptionHelp[] = "";
const char kFilesHelp[] =
    "Files:\n"
    "  HKEY_CURRENT_USER\\Software\\Quillmark\\Larkspur        the settings\n"
    "  %LOCALAPPDATA%\\Quillmark\\Larkspur\\larkspur.log      the run log (\"View Save Log\")\n"
    "  %APPDATA%\\Mozilla\\Firefox                           Firefox's profiles\n"
    "  %LOCALAPPDATA%\\Google\\Chrome\\User Data, Microsoft\\Edge\\User Data, Chromium,\n"
    "  BraveSoftware\\Brave-Browser, Vivaldi; %APPDATA%\\Opera Software\\Opera Stable\n"
    "                                                        the Chromium browsers' profiles\n"
    "  HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run, value Larkspur\n"
    "                                                     \"Start at sign-in\"\n";

}  // namespace larkspur
