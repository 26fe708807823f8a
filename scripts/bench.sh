#!/usr/bin/env bash
# Builds the optimised preset, compares the folder sweep with `find -delete` (a nested tree, and
# a Chromium cache of 50,000 entries within 1.1 times find's time), and times a run of
# the URL cache's 10,000 entries (at most 1 s) and the bookmark backup of a 10,000-bookmark
# places.sqlite (at most 0.5 s), one entry appended to a full 1 MB run log, the trim included
# (at most 5 ms), and what the window costs while it waits with auto delete on (under Xvfb: at
# most 0.05 % of one CPU), and the time from start to the window shown (median at most
# 150 ms).
# Extra arguments go to sweep_bench (e.g. --files 10000 --repeat 1).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

if [ -x scripts/install-deps.sh ]; then
  scripts/install-deps.sh
fi

cmake --preset linux-release
cmake --build --preset linux-release --target sweep_bench url_cache_bench backup_bench \
  run_log_bench larkspur
build/linux-release/bench/sweep_bench --max-ratio 1.25 "$@"
build/linux-release/bench/sweep_bench --shape chromium --files 50000 --max-ratio 1.1
build/linux-release/bench/url_cache_bench --entries 10000 --max-seconds 1
build/linux-release/bench/backup_bench --bookmarks 10000 --max-seconds 0.5
build/linux-release/bench/run_log_bench --max-ms 5
if command -v xvfb-run >/dev/null && command -v xdotool >/dev/null; then
  bench/idle_cost.sh build/linux-release/larkspur --seconds 60 --max-percent 0.05
else
  echo "idle cost: skipped (needs xvfb-run and xdotool: scripts/install-deps.sh --all)"
fi
if command -v xvfb-run >/dev/null && /usr/bin/python3 -c 'import Xlib' 2>/dev/null; then
  bench/start_time.sh build/linux-release/larkspur --starts 30 --max-median-ms 150
else
  echo "start time: skipped (needs xvfb-run and python3-xlib: scripts/install-deps.sh --all)"
fi
