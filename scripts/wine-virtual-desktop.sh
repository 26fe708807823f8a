#!/usr/bin/env bash
# Puts the windows of the Wine prefix $WINEPREFIX into a virtual desktop with Wine's own tray,
# then restarts its server. Without a window manager, hiding a window or removing a tray icon
# would stall for seconds.
set -euo pipefail
[[ -n "${WINEPREFIX:-}" ]] || { echo "wine-virtual-desktop.sh: WINEPREFIX is not set" >&2; exit 2; }
wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f \
  </dev/null >/dev/null 2>&1
wineserver -k </dev/null >/dev/null 2>&1 || true
wineserver -w </dev/null >/dev/null 2>&1 || true
