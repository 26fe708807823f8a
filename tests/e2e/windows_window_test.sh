#!/usr/bin/env bash
# larkspur.exe started under Wine as a user starts it, in a fresh prefix with a Firefox profile:
# it opens its window and tray icon and stores its first interval; ticking Firefox "Clear
# Cookies" and pressing "Delete Now" deletes the cookie files and leaves the run's summary on the
# status line and an entry in the run log; "View Save Log" opens that log in the system's Notepad,
# not the notepad.exe planted beside the program and in the current folder; minimising hides it
# into the tray, a double click on the icon brings it back; closing ends the program with exit
# code 0, and a second start ticks what the user ticked.
LARKSPUR=$1
TOOL=$2
source "$(dirname "$0")/sandbox.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k >/dev/null 2>&1; chmod -R u+rwx "$SANDBOX" 2>/dev/null; rm -rf "$SANDBOX"' EXIT
[ -n "${DISPLAY:-}" ] || fail "needs an X display"
# Wine opens web pages with xdg-open: the rare home-page invitation must not start a browser.
mkdir -p "$SANDBOX/bin" && printf '#!/bin/sh\nexit 0\n' >"$SANDBOX/bin/xdg-open"
chmod +x "$SANDBOX/bin/xdg-open"
export PATH="$SANDBOX/bin:$PATH"

wineboot -i </dev/null >/dev/null 2>&1 || fail "wineboot failed"
"$(dirname "$0")/../../scripts/wine-virtual-desktop.sh"
wineboot </dev/null >/dev/null 2>&1

appdata=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null)
[ -d "$appdata" ] || fail "no AppData folder: $appdata"
profile="$appdata/Mozilla/Firefox/Profiles/k3j4h5g6.default-release"
printf '[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/k3j4h5g6.default-release\r\n' \
  | { mkdir -p "$appdata/Mozilla/Firefox" && cat >"$appdata/Mozilla/Firefox/profiles.ini"; }
for f in prefs.js cookies.sqlite cookies.txt places.sqlite formhistory.sqlite; do put "$profile/$f"; done

settings() {
  wine reg query 'HKCU\Software\Quillmark\Larkspur' /v "$1" </dev/null 2>/dev/null \
    | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
tool() { wine "$TOOL" "$@" </dev/null 2>/dev/null | tr -d '\r'; }

# The program in a folder of its own, a notepad.exe planted beside it and in the current folder.
mkdir -p "$SANDBOX/app" "$SANDBOX/cwd"
cp "$LARKSPUR" "$SANDBOX/app/larkspur.exe"
put "$SANDBOX/app/backups.log" "the save log"
cp "$TOOL" "$SANDBOX/app/notepad.exe"
cp "$TOOL" "$SANDBOX/cwd/notepad.exe"
(cd "$SANDBOX/cwd" && exec wine "$SANDBOX/app/larkspur.exe") </dev/null >"$SANDBOX/out.txt" 2>&1 &
program=$!
tool wait >/dev/null || fail "the window did not open"
[ "$(settings OftenIndex)" = 1 ] || fail "OftenIndex not stored as 1: $(settings OftenIndex)"
[ -z "$(settings BackupSwitch)" ] || fail "BackupSwitch stored at start-up"
[ "$(tool text Check13)" = "Turn On Auto Delete" ] || fail "toggle: $(tool text Check13)"

tool click chkCookies
[ "$(tool checked chkCookies)" = 1 ] || fail "Clear Cookies not ticked"
tool click Check12   # returns after the five-second pause
for f in cookies.sqlite cookies.txt; do [ -e "$profile/$f" ] && fail "$f survived"; done
for f in places.sqlite formhistory.sqlite; do [ -e "$profile/$f" ] || fail "$f went"; done
tool text Label5 | grep -Eqx 'Erased 2 items \([0-9.,]+ (bytes|KB)\)\.' \
  || fail "no summary after the pause: $(tool text Label5)"
[ "$(tool checked Check12)" = 0 ] || fail "Delete Now stays pressed"

local_appdata=$(winepath -u "$(wine cmd /c 'echo %LOCALAPPDATA%' </dev/null 2>/dev/null | tr -d '\r')" 2>/dev/null)
log="$local_appdata/Quillmark/Larkspur/larkspur.log"
grep -q ' Delete Now: Erased 2 items (.*firefox-cookies: 2 erased (' "$log" || fail "no log entry: $(cat "$log")"
grep -q cookies.sqlite "$log" && fail "the log names a file"

tool click Check11
notepad=$(tool notepad) || notepad="no Notepad window"
for planted in app cwd; do
  [ -e "$SANDBOX/$planted/planted-ran" ] && fail "the notepad.exe planted in $planted ran"
done
[ "$(echo "${notepad,,}" | head -1)" = 'c:\windows\system32\notepad.exe' ] || fail "View Save Log started: $notepad"
echo "$notepad" | tail -1 | grep -q '^larkspur.log' || fail "Notepad did not open the log: $notepad"

tool minimize
for _ in $(seq 50); do [ "$(tool visible)" = 0 ] && break; sleep 0.1; done
[ "$(tool visible)" = 0 ] || fail "minimising did not hide the window"
tool tray 519   # the middle button: nothing
[ "$(tool visible)" = 0 ] || fail "a middle click brought the window back"
tool tray 515   # a left double click
[ "$(tool visible)" = 1 ] || fail "a double click on the tray icon did not bring it back"

tool close
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program" 2>/dev/null && fail "the program did not end on close"
wait "$program" || fail "exit code $? on close"
[ "$(settings OftenIndex)" = 1 ] || fail "settings changed at exit"

# The next start ticks what was ticked.
(cd "$SANDBOX/cwd" && exec wine "$SANDBOX/app/larkspur.exe") </dev/null >"$SANDBOX/out.txt" 2>&1 &
program=$!
tool wait >/dev/null || fail "the window did not open again"
[ "$(tool checked chkCookies)" = 1 ] || fail "Clear Cookies not ticked after a restart"
[ "$(tool checked chkIEHist)" = 0 ] || fail "Clear History ticked after a restart"
tool close
wait "$program" || fail "exit code $? on the second close"
echo "1 passed, 0 failed"
