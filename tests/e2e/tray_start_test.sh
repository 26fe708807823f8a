#!/usr/bin/env bash
# --tray, as at sign-in: under a tray host the window stays hidden with the icon in the tray, and
# a double click brings it; with no tray host it starts minimised instead.
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
for host in none trayer; do
  [ "$host" = trayer ] && { trayer --edge top --align right --widthtype pixel --width 200 \
    --heighttype pixel --height 32 >/dev/null 2>&1 & tray=$!; sleep 1; }
  "$LARKSPUR" --demo --tray >>"$SANDBOX/out.txt" 2>>"$SANDBOX/err.txt" &
  pid=$!
  sleep 3
  # xdotool matches without case: Qt's own "larkspur" windows match too.
  for window in $(xdotool search --name '^Larkspur$'); do
    xprop -id "$window" WM_NAME | grep -q '"Larkspur"$' && break
  done
  [ -n "$(xdotool search --onlyvisible --name '^Larkspur$')" ] && result "$host: on screen"
  state=$(xprop -id "$window" WM_STATE 2>/dev/null | sed -n 's/^.*window state: //p')
  result "$host: ${state:-never mapped}"
  if [ "$host" = trayer ]; then
    xdotool mousemove 1010 16 click --repeat 2 --delay 100 1
    timeout 5 xdotool search --sync --onlyvisible --name '^Larkspur$' >/dev/null \
      && result "$host: back" || result "$host: not back"
    kill "$tray"
    sleep 0.5
  fi
  kill -TERM "$pid"
  wait "$pid"
  result "$host: exit=$?"
done
kill "$wm" 2>/dev/null
SESSION

export LARKSPUR SANDBOX
timeout 90 xvfb-run -a -s "-screen 0 1024x768x24" bash "$SANDBOX/session.sh" \
  || fail "session failed: $(cat "$SANDBOX/result" "$SANDBOX/err.txt" 2>/dev/null)"
for demo in $(sed -n 's/^Demo folder: //p' "$SANDBOX/out.txt"); do
  rm -rf "$demo"
done
[ "$(cat "$SANDBOX/result")" = "none: Iconic
none: exit=0
trayer: never mapped
trayer: back
trayer: exit=0" ] || fail "$(cat "$SANDBOX/result" "$SANDBOX/err.txt")"
echo "1 passed, 0 failed"
