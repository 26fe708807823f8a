#!/usr/bin/env bash
# How long the window takes to appear: starts the program N times under Xvfb (with openbox when it
# is there) on a throw-away home and times each start from just before exec to the X server's
# MapNotify of the window titled "Larkspur" (python3-xlib listens, so no polling delay), then
# closes it with SIGTERM. One untimed start first fills the caches and the settings file.
#   bench/start_time.sh LARKSPUR [--starts N] [--max-median-ms M]
set -euo pipefail

larkspur=$(realpath "$1")
shift
starts=30 max_median=""
while [ $# -gt 0 ]; do
  case $1 in
    --starts) starts=$2; shift 2 ;;
    --max-median-ms) max_median=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done

home=$(mktemp -d "${TMPDIR:-/tmp}/larkspur-start-XXXXXX")
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
export XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" WINEPREFIX="$home/wine"
export QT_QPA_PLATFORM=xcb LARKSPUR=$larkspur STARTS=$starts MAX_MEDIAN=$max_median

cat >"$home/time_starts.py" <<'PYTHON'
import os, select, signal, subprocess, sys, time
from Xlib import X, Xatom, display

TITLE = b"Larkspur"
dpy = display.Display()
root = dpy.screen().root
root.change_attributes(event_mask=X.SubstructureNotifyMask)
net_wm_name, utf8 = dpy.intern_atom("_NET_WM_NAME"), dpy.intern_atom("UTF8_STRING")

def titled(window):
    for name, kind in ((net_wm_name, utf8), (Xatom.WM_NAME, Xatom.STRING)):
        prop = window.get_full_property(name, kind)
        if prop is not None and bytes(prop.value) == TITLE:
            return True
    return False

def time_one_start():
    """Milliseconds from exec to the window's MapNotify; the program is closed afterwards."""
    began = time.monotonic()
    program = subprocess.Popen([os.environ["LARKSPUR"]], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped = None
    while mapped is None and time.monotonic() - began < 20:
        if not dpy.pending_events() and not select.select([dpy], [], [], 0.5)[0]:
            continue
        event, now = dpy.next_event(), time.monotonic()
        try:
            if event.type == X.CreateNotify:
                # A top-level's own MapNotify reaches us even after openbox reparents it.
                event.window.change_attributes(event_mask=X.StructureNotifyMask)
                if event.window.get_attributes().map_state != X.IsUnmapped and titled(event.window):
                    mapped = now  # mapped before we listened: late by one round trip at most
            elif event.type == X.MapNotify and titled(event.window):
                mapped = now
        except Exception:  # the window went away meanwhile
            pass
    program.send_signal(signal.SIGTERM)
    try:
        program.wait(10)
    except subprocess.TimeoutExpired:
        program.kill()
        program.wait()
    dpy.sync()
    while dpy.pending_events():
        dpy.next_event()
    if mapped is None:
        sys.exit("the window did not appear within 20 s")
    return (mapped - began) * 1000

time_one_start()
times = sorted(time_one_start() for _ in range(int(os.environ["STARTS"])))
median = (times[(len(times) - 1) // 2] + times[len(times) // 2]) / 2
p95 = times[max(0, -(-len(times) * 95 // 100) - 1)]
print(f"start to window mapped over {len(times)} starts: median {median:.0f} ms, "
      f"95th percentile {p95:.0f} ms, max {times[-1]:.0f} ms, {sum(t > 500 for t in times)} over 0.5 s")
print("times (ms): " + " ".join(f"{t:.0f}" for t in times))
limit = os.environ["MAX_MEDIAN"]
if limit and median > float(limit):
    print(f"median over {limit} ms")
    sys.exit(1)
PYTHON

cat >"$home/session.sh" <<'SESSION'
set -eu
command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & }
sleep 1
/usr/bin/python3 "$HOME/time_starts.py"  # Debian's, where python3-xlib is
SESSION

xvfb-run -a -s "-screen 0 1024x768x24" bash "$home/session.sh"
