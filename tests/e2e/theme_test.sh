#!/usr/bin/env bash
# The window under a dark GTK theme reads as laid out (dark text on white), and at twice the
# scale its pictures are drawn, not a 32-pixel picture blown up. Screenshots compared by pixels.
LARKSPUR=$1
source "$(dirname "$0")/sandbox.sh"
source "$(dirname "$0")/no_browser.sh"
export LSAN_OPTIONS="suppressions=$2" QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=gtk3
export GTK_THEME=Adwaita:dark LARKSPUR SANDBOX
passed=0

cat >"$SANDBOX/session.sh" <<'SESSION'
"$LARKSPUR" --demo >>"$SANDBOX/out.txt" 2>"$SANDBOX/err.txt" &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Larkspur$' | head -1)
sleep 1.5
[ -n "$window" ] && import -window "$window" "$SANDBOX/shot-$QT_SCALE_FACTOR.png"
kill -TERM "$pid"
wait "$pid"
SESSION
for scale in 1 2; do
  QT_SCALE_FACTOR=$scale timeout 60 xvfb-run -a -s "-screen 0 1280x1280x24" \
    bash "$SANDBOX/session.sh" || fail "session at ${scale}x: $(cat "$SANDBOX/err.txt")"
done
sed -n 's/^Demo folder: //p' "$SANDBOX/out.txt" | xargs -r rm -rf
[ "$(identify -format %wx%h "$SANDBOX/shot-1.png")" = 512x596 ] || fail "window size at 1x"

# dark_on_white NAME W H X Y: in that part of the 1x shot some pixels are near black (text) and
# most are white.
dark_on_white() {
  read -r darkest mean < <(convert "$SANDBOX/shot-1.png" -crop "$2x$3+$4+$5" +repage \
    -colorspace Gray -format '%[fx:int(255*minima)] %[fx:int(255*mean)]\n' info:)
  [ "$darkest" -lt 80 ] && [ "$mean" -gt 160 ] ||
    fail "$1: darkest $darkest, mean $mean (want < 80 on a white ground)"
  passed=$((passed + 1))
}
dark_on_white '"Delete Now"' 120 18 194 500
dark_on_white '"Mozilla Firefox" title' 96 18 266 6
dark_on_white '"Clear Form History"' 110 17 300 32
dark_on_white "interval list" 200 72 26 359

# At 2x the "Delete Now" picture (64 x 64 device pixels) is drawn at that scale. A 32-pixel
# picture blown up is either blurred (no steps of over 400 in R+G+B between neighbours; the
# drawing has ~170 each way) or doubled: colours change only between pixel pairs, so at one
# column (and row) parity nothing changes; the drawing's curves and slant give ~30 there.
crisp() {
  convert "$1" -crop 80x80+"$2"+"$3" +repage -depth 8 rgb:- | python3 -c '
import sys
p = sys.stdin.buffer.read(); n = 80
px = lambda x, y: p[3 * (y * n + x):3 * (y * n + x) + 3]
for dx, dy in ((1, 0), (0, 1)):
    sharp, changes = 0, [0, 0]
    for y in range(1, n):
        for x in range(1, n):
            step = sum(abs(a - b) for a, b in zip(px(x, y), px(x - dx, y - dy)))
            sharp += step > 400
            changes[(x * dx + y * dy) % 2] += step > 60
    if sharp < 100 or min(changes) < 10:
        sys.exit(f"{sharp} sharp steps, changes at even/odd places {changes}")'
}
crisp "$SANDBOX/shot-2.png" 468 904 || fail "the Delete Now picture at 2x is not drawn at 2x"
# The same measure refuses the 32-pixel picture doubled and smoothly enlarged.
for enlarge in -scale -resize; do
  convert "$(dirname "$0")/../../data/icons/delete-now.png" -background white -flatten \
    "$enlarge" 200% -bordercolor white -border 8 "$SANDBOX/enlarged.png"
  crisp "$SANDBOX/enlarged.png" 0 0 2>/dev/null && fail "passes as drawn: $enlarge"
  passed=$((passed + 1))
done
echo "$passed passed, 0 failed"
