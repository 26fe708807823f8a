#!/usr/bin/env bash
# The window as a new user meets it, on a virtual display with a tray host: started on the
# sample folder, Firefox "Clear Cookies" ticked, "Delete Now" pressed, closed by the session's
# end. Then its settings file and the sample folder are looked at.
LARKSPUR=$1
SUPPRESSIONS=$2
source "$(dirname "$0")/sandbox.sh"
source "$(dirname "$0")/no_browser.sh"
export LSAN_OPTIONS="suppressions=$SUPPRESSIONS" QT_QPA_PLATFORM=xcb

cat >"$SANDBOX/session.sh" <<'SESSION'
set -u
trayer --edge top --align right --widthtype pixel --width 200 --heighttype pixel --height 32 \
  >/dev/null 2>&1 &
tray=$!
"$LARKSPUR" --demo >"$SANDBOX/out.txt" 2>"$SANDBOX/err.txt" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Larkspur$' | head -1)
[ -n "$window" ] || { echo "no window" >"$SANDBOX/result"; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
# Firefox "Clear Cookies" (frame at 261,8; box at 21,96 inside), then "Delete Now" (174,451).
xdotool mousemove $((X + 261 + 21 + 8)) $((Y + 8 + 96 + 8)) click 1
sleep 0.5
xdotool mousemove $((X + 174 + 80)) $((Y + 451 + 40)) click 1
sleep 2
sleep 5
kill -TERM "$pid"
wait "$pid"
echo "exit=$?" >"$SANDBOX/result"
kill "$tray" 2>/dev/null
SESSION

export LARKSPUR SANDBOX
timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" bash "$SANDBOX/session.sh" \
  || fail "session failed: $(cat "$SANDBOX/result" "$SANDBOX/err.txt" 2>/dev/null)"

demo=$(sed -n 's/^Demo folder: //p' "$SANDBOX/out.txt")
[ -d "$demo" ] || fail "no demo folder: $(cat "$SANDBOX/out.txt")"
trap 'chmod -R u+rwx "$SANDBOX" "$demo" 2>/dev/null; rm -rf "$SANDBOX" "$demo"' EXIT
grep -qx "exit=0" "$SANDBOX/result" || fail "closing: $(cat "$SANDBOX/result" "$SANDBOX/err.txt")"

profile=$(find "$demo" -name places.sqlite -printf '%h\n' | head -1)
[ -n "$profile" ] || fail "no profile in the demo folder"
[ -e "$profile/cookies.sqlite" ] && fail "cookies.sqlite survived Delete Now"
[ -e "$profile/places.sqlite" ] || fail "places.sqlite went, but its box was not ticked"

settings=$(find "$demo" -path '*/Quillmark/settings.ini')
[ -n "$settings" ] || fail "no settings file"
grep -qx "OftenIndex=1" "$settings" || fail "settings: $(cat "$settings")"
grep -q "BackupSwitch" "$settings" && fail "BackupSwitch written without a click: $(cat "$settings")"
echo "1 passed, 0 failed"
