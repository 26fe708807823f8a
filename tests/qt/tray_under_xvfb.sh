#!/bin/sh
# The tray tests on a desktop with a window manager and a notification area: a private Xvfb with
# openbox, and trayer as the tray host. Usage: tray_under_xvfb.sh path/to/larkspur_qt_tests [more gtest arguments]
set -eu
tests=${1:?usage: tray_under_xvfb.sh path/to/larkspur_qt_tests [gtest arguments]}
shift

# The desktop's libraries keep some memory to the end of the process; not ours to report.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  tests=$1
  shift
  openbox >/dev/null 2>&1 &
  openbox=$!
  trayer --edge top --align right --widthtype pixel --width 200 --heighttype pixel --height 32 \
    >/dev/null 2>&1 &
  trayer=$!
  status=0
  # Without a tray the tests fail instead of skipping.
  LARKSPUR_REQUIRE_TRAY=1 QT_QPA_PLATFORM=xcb "$tests" --gtest_filter="QtTray*" "$@" || status=$?
  kill "$trayer" "$openbox" 2>/dev/null || true
  wait "$trayer" "$openbox" 2>/dev/null || true
  exit "$status"
' tray_under_xvfb "$tests" "$@"
