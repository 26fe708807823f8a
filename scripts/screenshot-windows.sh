#!/usr/bin/env bash
# Makes docs/screenshot-windows.png from the running window: the Windows build under Wine, in a
# throw-away prefix with Wine's virtual desktop, on a virtual display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --all
cmake --preset windows >/dev/null
cmake --build --preset windows --target larkspur window_tool

sandbox=$(mktemp -d "${TMPDIR:-/tmp}/larkspur-wine-XXXXXX")
export HOME="$sandbox/home" XDG_CONFIG_HOME="$sandbox/home/.config"
export XDG_DATA_HOME="$sandbox/home/.local/share" XDG_CACHE_HOME="$sandbox/home/.cache"
export WINEPREFIX="$sandbox/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$HOME" "$WINEPREFIX"
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$sandbox"' EXIT

# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  wineboot -i </dev/null >/dev/null 2>&1
  scripts/wine-virtual-desktop.sh
  wineboot </dev/null >/dev/null 2>&1
  # A Firefox profile, so that its group is not shown as "not found".
  firefox="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Mozilla/Firefox"
  mkdir -p "$firefox/Profiles/sample.default"
  printf "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/sample.default\n" >"$firefox/profiles.ini"
  : >"$firefox/Profiles/sample.default/prefs.js"
  tool() { wine build/windows/tests/e2e/window_tool.exe "$@" </dev/null 2>/dev/null | tr -d "\r"; }
  wine build/windows/larkspur.exe </dev/null >/dev/null 2>&1 &
  read -r left top width height < <(tool wait)
  sleep 1
  import -window root -crop "${width}x${height}+${left}+${top}" +repage docs/screenshot-windows.png
  tool close
  wait
'
echo "docs/screenshot-windows.png"
