#!/usr/bin/env bash
# The typed-URL and cache items on a Firefox profile whose places.sqlite the test makes: the
# backup written is exactly the expected one (the same from both builds), places.sqlite goes
# with its journals, the disk cache in the local cache folder is emptied but kept, and a
# damaged database stays where it is, with the user told.
# Usage: firefox_backup_test.sh LARKSPUR [windows]
LARKSPUR=$1
WINDOWS=${2:-}
HERE=$(dirname "$0")
source "$HERE/sandbox.sh"

if [ -n "$WINDOWS" ]; then
  source "$HERE/wine_prefix.sh"
  trap stop_wine_and_remove_sandbox EXIT
  boot_prefix
  ff="$(unix_path "$(shell_folder AppData)")/Mozilla/Firefox"
  local_cache="$(unix_path "$(shell_folder 'Local AppData')")/Mozilla/Firefox/Profiles"
  entry="Profiles/k3j5h7g9.default-release"
  name=k3j5h7g9.default-release
  run() { wine "$LARKSPUR" "$@" </dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
else
  ff="$XDG_CONFIG_HOME/mozilla/firefox"
  local_cache="$XDG_CACHE_HOME/mozilla/firefox"
  entry="k3j5h7g9.default-esr"
  name=k3j5h7g9.default-esr
  run() { "$LARKSPUR" "$@"; }
fi
profile="$ff/$entry"
mkdir -p "$profile"
printf '[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=%s\r\n\r\n[General]\r\nVersion=2\r\n' \
  "$entry" >"$ff/profiles.ini"
put "$profile/prefs.js"
python3 "$HERE/firefox/make_places.py" "$profile/places.sqlite"
put "$profile/places.sqlite-wal" ""
put "$local_cache/$name/cache2/entries/0A1B2C"
put "$local_cache/$name/cache2/doomed/x"
put "$local_cache/$name/startupCache/kept"       # beside cache2: not the disk cache
backup="$profile/bookmarkbackups/bookmarks-$(date +%F).json"

run --clean firefox-typed-urls,firefox-cache >"$SANDBOX/out" || fail "exit code $?: $(cat "$SANDBOX/out")"
[ -e "$profile/places.sqlite" ] && fail "places.sqlite stayed"
[ -e "$profile/places.sqlite-wal" ] && fail "its write-ahead log stayed"
cmp "$backup" "$HERE/firefox/expected_backup.json" || fail "backup differs: $(cat "$backup")"
[ "$(ls "$profile/bookmarkbackups")" = "$(basename "$backup")" ] || fail "a temporary file stayed"
[ -d "$local_cache/$name/cache2" ] || fail "cache2 itself went"
[ -z "$(ls -A "$local_cache/$name/cache2")" ] || fail "cache2 not emptied"
[ -e "$local_cache/$name/startupCache/kept" ] || fail "a file beside cache2 went"

# Not a database: it stays, the user is told, the exit code says something stayed.
put "$profile/places.sqlite" "not a database"
status=0
run --clean firefox-typed-urls >"$SANDBOX/out" 2>"$SANDBOX/err" || status=$?
[ "$status" -eq 3 ] || fail "a damaged database gave exit code $status"
grep -qx "stayed (access refused): .*places.sqlite" "$SANDBOX/out" \
  || fail "not named on stdout: $(cat "$SANDBOX/out")"
grep -q "Firefox bookmarks could not be saved" "$SANDBOX/err" \
  || fail "not told on stderr: $(cat "$SANDBOX/err")"
[ "$(cat "$profile/places.sqlite")" = "not a database" ] || fail "the damaged database changed"
echo "1 passed, 0 failed"
