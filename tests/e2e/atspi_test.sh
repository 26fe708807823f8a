#!/usr/bin/env bash
# The window as a screen reader meets it: its AT-SPI tree read by atspi_check.py (Debian's
# python3, which has pyatspi) on a private session and accessibility bus, under openbox.
LARKSPUR=$1
source "$(dirname "$0")/sandbox.sh"
{ cat "$2"; echo "leak:libQt6DBus"; } >"$SANDBOX/lsan.supp"
export LSAN_OPTIONS="suppressions=$SANDBOX/lsan.supp" QT_QPA_PLATFORM=xcb
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_RUNTIME_DIR="$SANDBOX/run"
export CHECK="$(dirname "$0")/atspi_check.py" LARKSPUR SANDBOX
mkdir -m 700 "$XDG_RUNTIME_DIR"
source "$(dirname "$0")/no_browser.sh"

cat >"$SANDBOX/session.sh" <<'SESSION'
openbox >/dev/null 2>&1 &
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 1
"$LARKSPUR" --demo >"$SANDBOX/out.txt" 2>"$SANDBOX/err.txt" &
pid=$!
/usr/bin/python3 -u "$CHECK" >"$SANDBOX/check.txt" 2>&1
echo "check=$?" >"$SANDBOX/result"
kill -TERM "$pid"
wait "$pid"
echo "exit=$?" >>"$SANDBOX/result"
kill $(jobs -p) 2>/dev/null
SESSION

timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" dbus-run-session -- bash "$SANDBOX/session.sh" \
  || fail "session failed: $(cat "$SANDBOX/result" "$SANDBOX/err.txt" 2>/dev/null)"
rm -rf "$(sed -n 's/^Demo folder: //p' "$SANDBOX/out.txt")"
grep -qx "check=0" "$SANDBOX/result" || fail "$(cat "$SANDBOX/check.txt")"
grep -qx "exit=0" "$SANDBOX/result" || fail "closing: $(cat "$SANDBOX/result" "$SANDBOX/err.txt")"
echo "1 passed, 0 failed"
