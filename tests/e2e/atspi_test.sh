#!/usr/bin/env bash
# The window as a screen reader meets it: the program's AT-SPI tree read by atspi_check.py in a
# private session bus with its own accessibility bus, under openbox on a virtual display.
LARKSPUR=$1
SUPPRESSIONS=$2
source "$(dirname "$0")/sandbox.sh"
{ cat "$SUPPRESSIONS"; echo "leak:libQt6DBus"; echo "leak:libatspi"; } >"$SANDBOX/lsan.supp"
export LSAN_OPTIONS="suppressions=$SANDBOX/lsan.supp" QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
export XDG_RUNTIME_DIR="$SANDBOX/run" CHECK="$(dirname "$0")/atspi_check.py"
mkdir -m 700 "$XDG_RUNTIME_DIR"
source "$(dirname "$0")/no_browser.sh"

# Debian's python3, which has pyatspi.
cat >"$SANDBOX/session.sh" <<'SESSION'
set -u
openbox >/dev/null 2>&1 &
wm=$!
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!
sleep 1
"$LARKSPUR" --demo >"$SANDBOX/out.txt" 2>"$SANDBOX/err.txt" &
pid=$!
/usr/bin/python3 -u "$CHECK" >"$SANDBOX/check.txt" 2>&1
echo "check=$?" >"$SANDBOX/result"
kill -TERM "$pid"
wait "$pid"
echo "exit=$?" >>"$SANDBOX/result"
kill "$bus" "$wm" 2>/dev/null
SESSION

export LARKSPUR SANDBOX
timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$SANDBOX/session.sh" \
  || fail "session failed: $(cat "$SANDBOX/result" "$SANDBOX/err.txt" 2>/dev/null)"
demo=$(sed -n 's/^Demo folder: //p' "$SANDBOX/out.txt")
[ -d "$demo" ] && rm -rf "$demo"
grep -qx "check=0" "$SANDBOX/result" || fail "$(cat "$SANDBOX/check.txt")"
grep -qx "exit=0" "$SANDBOX/result" || fail "closing: $(cat "$SANDBOX/result" "$SANDBOX/err.txt")"
echo "1 passed, 0 failed"
