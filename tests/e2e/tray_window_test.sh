#!/usr/bin/env bash
# Minimising under a window manager (openbox) with a tray host (trayer): the window hides into
# the tray leaving the screen as it was without it, and comes back at its place by a double
# click on the icon, then by a single click. Started with --tray it shows only the icon.
LARKSPUR=$1
SUPPRESSIONS=$2
source "$(dirname "$0")/sandbox.sh"
source "$(dirname "$0")/no_browser.sh"
export LSAN_OPTIONS="suppressions=$SUPPRESSIONS" QT_QPA_PLATFORM=xcb

cat >"$SANDBOX/session.sh" <<'SESSION'
set -u
result() { echo "$*" >>"$SANDBOX/result"; }
openbox >/dev/null 2>&1 &
wm=$!
trayer --edge top --align right --widthtype pixel --width 200 --heighttype pixel --height 32 \
  >/dev/null 2>&1 &
tray=$!
sleep 1
import -window root "$SANDBOX/empty.png"
"$LARKSPUR" --demo >"$SANDBOX/out.txt" 2>"$SANDBOX/err.txt" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Larkspur$' | head -1)
[ -n "$window" ] || { result "no window"; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"
place="$X,$Y"
# The frame's place too: openbox draws it around the window.
region="$((WIDTH + 40))x$((HEIGHT + 60))+$((X - 20))+$((Y - 40))"

for clicks in 2 1; do
  xdotool windowminimize "$window"
  sleep 1.5
  import -window root "$SANDBOX/hidden.png"
  convert "$SANDBOX/empty.png" -crop "$region" "$SANDBOX/empty-region.png"
  convert "$SANDBOX/hidden.png" -crop "$region" "$SANDBOX/hidden-region.png"
  differing=$(compare -metric AE "$SANDBOX/empty-region.png" "$SANDBOX/hidden-region.png" null: 2>&1)
  result "hidden $clicks: $differing pixels differ"
  [ -z "$(xdotool search --onlyvisible --name '^Larkspur$')" ] || result "still on screen"
  # The icon sits at the right end of trayer's strip.
  xdotool mousemove 1010 16 click --repeat "$clicks" --delay 100 1
  timeout 5 xdotool search --sync --onlyvisible --name '^Larkspur$' >/dev/null \
    || result "not back after $clicks clicks"
  sleep 0.5
  eval "$(xdotool getwindowgeometry --shell "$window")"
  result "back $clicks at $X,$Y"
done

kill -TERM "$pid"
wait "$pid"
result "exit=$?"

# --tray, as at sign-in: nothing on screen, and the icon brings the window.
"$LARKSPUR" --tray 2>>"$SANDBOX/err.txt" &
sleep 3
[ -z "$(xdotool search --onlyvisible --name '^Larkspur$')" ] && result "tray: hidden"
xdotool mousemove 1010 16 click --repeat 2 --delay 100 1
timeout 5 xdotool search --sync --onlyvisible --name '^Larkspur$' >/dev/null && result "tray: back"
kill -TERM $!
kill "$tray" "$wm" 2>/dev/null
SESSION

export LARKSPUR SANDBOX
timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" bash "$SANDBOX/session.sh" \
  || fail "session failed: $(cat "$SANDBOX/result" "$SANDBOX/err.txt" 2>/dev/null)"
demo=$(sed -n 's/^Demo folder: //p' "$SANDBOX/out.txt")
trap 'chmod -R u+rwx "$SANDBOX" "$demo" 2>/dev/null; rm -rf "$SANDBOX" "$demo"' EXIT

place=$(sed -n 's/^back 2 at //p' "$SANDBOX/result")
[ "$(cat "$SANDBOX/result")" = "hidden 2: 0 pixels differ
back 2 at $place
hidden 1: 0 pixels differ
back 1 at $place
exit=0
tray: hidden
tray: back" ] || fail "$(cat "$SANDBOX/result" "$SANDBOX/err.txt")"
grep -q "setNetWmStateOnUnmappedWindow" "$SANDBOX/err.txt" && fail "$(cat "$SANDBOX/err.txt")"
echo "1 passed, 0 failed"
