#!/usr/bin/env bash
# The tray on a desktop that speaks the StatusNotifierItem protocol: a session bus with a
# watcher made by sni_watcher.py, under openbox on a virtual display. The program registers its
# item; Activate shows the minimised window, and the exported menu's "Exit" ends the program.
LARKSPUR=$1
SUPPRESSIONS=$2
source "$(dirname "$0")/sandbox.sh"
# Qt's D-Bus module keeps a little memory when the program ends from inside a D-Bus call.
{ cat "$SUPPRESSIONS"; echo "leak:libQt6DBus"; } >"$SANDBOX/lsan.supp"
export LSAN_OPTIONS="suppressions=$SANDBOX/lsan.supp" QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$SANDBOX/run" WATCHER="$(dirname "$0")/sni_watcher.py"
mkdir -m 700 "$XDG_RUNTIME_DIR"
source "$(dirname "$0")/no_browser.sh"

# Debian's python3, which has the dbus and gi modules.
cat >"$SANDBOX/session.sh" <<'SESSION'
set -u
openbox >/dev/null 2>&1 &
wm=$!
/usr/bin/python3 -u "$WATCHER" "$SANDBOX/out.txt" "$SANDBOX/err.txt" "$LARKSPUR" --demo \
  >"$SANDBOX/watcher.txt" 2>&1
echo "watcher=$?" >"$SANDBOX/result"
kill "$wm" 2>/dev/null
SESSION

export LARKSPUR SANDBOX
timeout 400 xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$SANDBOX/session.sh" \
  || fail "session failed: $(cat "$SANDBOX/result" "$SANDBOX/err.txt" 2>/dev/null)"
grep -qx "ok" "$SANDBOX/watcher.txt" || fail "$(cat "$SANDBOX/watcher.txt" "$SANDBOX/err.txt")"
grep -qx "watcher=0" "$SANDBOX/result" || fail "$(cat "$SANDBOX/result" "$SANDBOX/err.txt")"
demo=$(sed -n 's/^Demo folder: //p' "$SANDBOX/out.txt")
[ -d "$demo" ] && rm -rf "$demo"
echo "1 passed, 0 failed"
