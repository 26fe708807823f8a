#!/usr/bin/env bash
# What the window costs while it waits: auto delete on, nothing to do. Runs the program under
# Xvfb (with a window manager and a tray host when openbox and trayer are there) on a throw-away
# home, lets it settle, then reads its CPU time and context switches from /proc over N seconds.
#   bench/idle_cost.sh LARKSPUR [--seconds N] [--interval INDEX] [--hidden] [--max-percent P]
# --interval is the list's 1-based position (1: 5 minutes, 11: 24 hours); --hidden minimises the
# window into the tray first.
set -euo pipefail

larkspur=$(realpath "$1")
shift
seconds=30 interval=1 hidden=0 max_percent=""
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --interval) interval=$2; shift 2 ;;
    --hidden) hidden=1; shift ;;
    --max-percent) max_percent=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
done

home=$(mktemp -d "${TMPDIR:-/tmp}/larkspur-idle-XXXXXX")
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share"
export XDG_CACHE_HOME="$home/.cache" XDG_STATE_HOME="$home/.local/state" WINEPREFIX="$home/wine"
mkdir -p "$XDG_CONFIG_HOME/Quillmark"
printf '[Larkspur]\nOftenIndex=%s\nBackupSwitch=On\n' "$interval" \
  >"$XDG_CONFIG_HOME/Quillmark/settings.ini"
export QT_QPA_PLATFORM=xcb SANDBOX_HOME=$home LARKSPUR=$larkspur SECONDS_TO_MEASURE=$seconds HIDDEN=$hidden

cat >"$home/session.sh" <<'SESSION'
set -eu
command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & }
command -v trayer >/dev/null && { trayer --edge top --align right --widthtype pixel --width 200 \
  --heighttype pixel --height 32 >/dev/null 2>&1 & }
sleep 1
"$LARKSPUR" >/dev/null 2>&1 &
pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Larkspur$' | head -1)
[ "$HIDDEN" = 1 ] && xdotool windowminimize "$window"
sleep 3
# Per thread: its time on a CPU (ns; schedstat is finer than utime + stime's clock ticks of
# 10 ms) and its voluntary and involuntary context switches. Only threads alive at both samples
# count: one that ends meanwhile would take its totals with it.
sample() {
  for task in /proc/"$pid"/task/*; do
    echo "${task##*/} $(cut -d' ' -f1 "$task/schedstat") $(awk '/ctxt_switches/ { n += $2 } END { print n }' "$task/status")"
  done
}
sample >"$SANDBOX_HOME/before"
sleep "$SECONDS_TO_MEASURE"
sample >"$SANDBOX_HOME/after"
kill -TERM "$pid"
wait "$pid" || true
awk 'NR == FNR { cpu[$1] = $2; cs[$1] = $3; next }
     $1 in cpu { dcpu += $2 - cpu[$1]; dcs += $3 - cs[$1] }
     END { printf "%d %d\n", dcpu, dcs }' "$SANDBOX_HOME/before" "$SANDBOX_HOME/after"
SESSION

read -r cpu switches < <(xvfb-run -a -s "-screen 0 1024x768x24" bash "$home/session.sh")
awk -v cpu="$cpu" -v switches="$switches" -v t="$seconds" \
  -v max="$max_percent" 'BEGIN {
    percent = cpu / 1e9 / t * 100
    printf "idle: %.3f %% of one CPU, %.1f context switches/s over %d s\n", percent, switches / t, t
    if (max != "" && percent > max) { printf "over %s %%\n", max; exit 1 }
  }'
