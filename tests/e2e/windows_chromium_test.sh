#!/usr/bin/env bash
# larkspur.exe under Wine on Chrome and Edge profiles laid out below Local AppData as the
# browsers leave them, two of Chrome's listed in "Local State": exactly their traces go, and
# nothing of a guest's profile or of a folder without Preferences. A hidden window of class
# Chrome_MessageWindow titled with Edge's user-data folder, as a running Edge keeps one, makes
# Edge keep its history, cookies and tabs, with exit code 3 and the user told what to do.
# Usage: windows_chromium_test.sh LARKSPUR WINDOW_TOOL
LARKSPUR=$1
WINDOW_TOOL=$2
source "$(dirname "$0")/sandbox.sh"
source "$(dirname "$0")/wine_prefix.sh"
trap 'kill "${window_pid:-}" 2>/dev/null; stop_wine_and_remove_sandbox' EXIT
boot_prefix

win_local=$(shell_folder 'Local AppData')
local=$(unix_path "$win_local")
chrome="$local/Google/Chrome/User Data"
edge="$local/Microsoft/Edge/User Data"
traces=(History History-journal Network/Cookies Network/Cookies-journal Cache/Cache_Data/f_1
        "Code Cache/js/index" Sessions/Tabs_1 "Current Session")
kept=(Preferences Bookmarks "Login Data" "Web Data" Favicons Extensions/abc/manifest.json)
lay_out() {
  put "$chrome/Local State" '{"profile":{"info_cache":{"Default":{},"Work":{}}}}'
  for folder in "$chrome/Default" "$chrome/Work" "$edge/Default"; do
    for name in "${traces[@]}" "${kept[@]}"; do put "$folder/$name"; done
  done
  put "$chrome/Guest Profile/Preferences"               # not a user's profile
  put "$chrome/Guest Profile/History"
  put "$chrome/Profile 2/History"                       # no Preferences: no profile
}
expect() {  # expect gone|kept FOLDER NAMES...
  local want=$1 folder=$2 name
  for name in "${@:3}"; do
    [ -e "$folder/$name" ] && [ "$want" = gone ] && fail "$folder/$name stayed"
    [ -e "$folder/$name" ] || [ "$want" = gone ] || fail "$folder/$name went"
  done
}
items=$(echo {chrome,edge}-{history,cache,cookies,tabs} | tr ' ' ,)
run() { wine "$LARKSPUR" "$@" </dev/null 2>"$SANDBOX/err" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

lay_out
run --clean "$items" >"$SANDBOX/out" || fail "exit code $?: $(cat "$SANDBOX/out" "$SANDBOX/err")"
for folder in "$chrome/Default" "$chrome/Work" "$edge/Default"; do
  expect gone "$folder" "${traces[@]}"
  expect kept "$folder" "${kept[@]}" Cache Sessions
done
expect kept "$chrome/Guest Profile" History
expect kept "$chrome/Profile 2" History
grep -q "Erased 24 items" "$SANDBOX/out" || fail "summary: $(tail -n 1 "$SANDBOX/out")"

lay_out
wine "$WINDOW_TOOL" message-window Chrome_MessageWindow "$win_local\\Microsoft\\Edge\\User Data" \
  </dev/null >"$SANDBOX/window" 2>/dev/null &
window_pid=$!
for _ in $(seq 100); do grep -q ready "$SANDBOX/window" && break; sleep 0.2; done
grep -q ready "$SANDBOX/window" || fail "no message window"
run --clean "$items" >"$SANDBOX/out" || status=$?
[ "${status:-0}" -eq 3 ] || fail "a running Edge gave exit code ${status:-0}"
for told in "Close Edge to clear its history, cookies and open tabs." \
  "If no Edge window is open, its Startup boost keeps it running: turn that off in Edge's settings, System."; do
  grep -qF "$told" "$SANDBOX/err" || fail "not told: $(cat "$SANDBOX/err")"
done
expect kept "$edge/Default" History Network/Cookies Sessions/Tabs_1 "Current Session"
expect gone "$edge/Default" Cache/Cache_Data/f_1
expect gone "$chrome/Work" "${traces[@]}"
echo "1 passed, 0 failed"
