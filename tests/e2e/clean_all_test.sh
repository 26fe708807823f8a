#!/usr/bin/env bash
# larkspur --clean all on a home folder with a Firefox profile as Firefox writes it and the
# Linux stand-ins filled: exactly the named things go, everything else stays byte for byte. A
# preview first changes nothing and lists what the run then erases.
LARKSPUR=$1
source "$(dirname "$0")/sandbox.sh"

ff="$XDG_CONFIG_HOME/mozilla/firefox"
profile="$ff/q4w8e2rt.default-esr"
put "$ff/profiles.ini" "[Install4F96D1932A9F858E]
Default=q4w8e2rt.default-esr
Locked=1

[Profile1]
Name=default
IsRelative=1
Path=z9x8c7v6.default
Default=1

[Profile0]
Name=default-esr
IsRelative=1
Path=q4w8e2rt.default-esr

[General]
StartWithLastProfile=1
Version=2
"
put "$ff/installs.ini"
for f in places.sqlite places.sqlite-wal cookies.sqlite cookies.sqlite-wal formhistory.sqlite \
         formhistory.sqlite-wal downloads.sqlite history.dat cookies.txt startup.cache \
         cache/one cache/two; do
  put "$profile/$f"
done
for f in favicons.sqlite favicons.sqlite-wal bookmarks.html bookmarks.bak prefs.js \
         cache/sub/stays sessionstore-backups/recovery.jsonlz4 storage/x.cache; do
  put "$profile/$f"
done
python3 "$(dirname "$0")/firefox/make_places.py" "$profile/places.sqlite.new"
mv "$profile/places.sqlite.new" "$profile/places.sqlite"   # bookmarks to keep
put "$ff/z9x8c7v6.default/cookies.sqlite"               # listed, but no profile: no prefs.js
put "$XDG_CACHE_HOME/mozilla/firefox/q4w8e2rt.default-esr/cache2/entries/ABC"  # the disk cache
put "$XDG_CACHE_HOME/mozilla/firefox/q4w8e2rt.default-esr/startupCache/kept"

ie="$SANDBOX/ie"
put "$ie/History/History.IE5/index.dat"
put "$ie/History/History.IE5/MSHist01/index.dat"
put "$ie/INetCache/Content.IE5/X1/page[1].htm"
put "$ie/INetCache/Content.IE5/X1/deep/a.js"
put "$ie/INetCache/.hidden-stays"
put "$ie/INetCookies/me@example[1].txt"
put "$ie/INetCache-sibling/trap"                 # beside a swept folder
put "$SANDBOX/outside/target-of-link"
ln -s "$SANDBOX/outside" "$ie/INetCache/link-to-outside"
put "$HOME/Documents/letter.txt"

store="$XDG_DATA_HOME/larkspur"
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\r\n'
  for n in $(seq 1 101); do printf '"url%d"="http://site%d.example/"\r\n' "$n" "$n"; done
  printf '"url0"="http://zero.example/"\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n'
  printf '"History"="%s"\r\n"Cache"="%s"\r\n"Cookies"="%s"\r\n' "$ie/History" "$ie/INetCache" "$ie/INetCookies"
} >"$SANDBOX/registry.reg"
mkdir -p "$store" && cp "$SANDBOX/registry.reg" "$store/registry.reg"
put "$ie/INetCache/Content.IE5/X1/logo[1].png"
printf 'http://example.com/logo.png\t%s\nCookie:me@example.com/\t%s\nVisited: me@http://example.com/\n' \
  "$ie/INetCache/Content.IE5/X1/logo[1].png" "$ie/INetCookies/me@example[1].txt" >"$store/urlcache.tsv"
put "$store/urlhistory.txt" "http://example.com/
"

# Everything that must survive, with its checksum.
survivors=$(cd "$SANDBOX" && find . -type f \( -path './home/.config/mozilla/firefox/q4w8e2rt.default-esr/*' \
  -a \( -name 'favicons*' -o -name 'bookmarks*' -o -name prefs.js -o -path '*/cache/sub/*' \
  -o -path '*/sessionstore-backups/*' -o -path '*/storage/*' \) -o -path './outside/*' \
  -o -path './home/Documents/*' -o -path './ie/INetCache-sibling/*' -o -name .hidden-stays \
  -o -path '*/z9x8c7v6.default/*' -o -path './home/.cache/*/startupCache/*' -o -name profiles.ini \
  -o -name installs.ini \) | sort | xargs sha256sum)
[ "$(echo "$survivors" | wc -l)" -eq 16 ] || fail "expected 16 survivors, found: $survivors"

# Every path, every file's checksum and every link's target; the run log aside.
everything() {
  (cd "$SANDBOX" && find . -path ./home/.local/state -prune -o -printf '%p %l\n' | sort &&
    find . -path ./home/.local/state -prune -o -type f -print0 | sort -z | xargs -0 sha256sum)
}
before=$(everything)
preview=$("$LARKSPUR" --preview all) || fail "preview: exit code $?"
[ "$(everything)" = "$before" ] || fail "the preview changed: $(diff <(echo "$before") <(everything))"

# The folder listed as a profile but holding no profile stays, named, and the exit code says so.
status=0
output=$("$LARKSPUR" --clean all 2>"$SANDBOX/err") || status=$?
[ "$status" -eq 3 ] || fail "clean all: exit code $status, not 3"
echo "$output" | grep -qxF "stayed (refused for safety): $ff/z9x8c7v6.default" || fail "refused profile not named"
[ "$(cat "$SANDBOX/err")" = "larkspur: No Chrome, Chromium, Brave, Vivaldi or Opera profile found.
larkspur: No Edge profile found.
larkspur: Firefox profile $ff/z9x8c7v6.default skipped: it holds neither prefs.js nor times.json." ] \
  || fail "stderr: $(cat "$SANDBOX/err")"

[ "$(echo "$preview" | head -n 1)" = "Preview: nothing is changed." ] || fail "preview's first line: $preview"
echo "$preview" | tail -n 1 | grep -q "^Would erase " || fail "preview's summary: $(echo "$preview" | tail -n 1)"
without_sizes=$(as_run "$preview")
[ "$without_sizes" = "$output" ] || fail "preview and run differ: $(diff <(echo "$without_sizes") <(echo "$output"))"
erased=$(echo "$output" | grep -c '^-->')

# One log entry, naming no file, URL or host the run erased.
log="$XDG_STATE_HOME/larkspur/larkspur.log"
[ "$(wc -l <"$log")" -eq 1 ] || fail "log entries: $(cat "$log")"
while IFS= read -r name; do
  for trace in "$name" "$(basename "$name")"; do
    grep -qF -- "$trace" "$log" && fail "the log names $trace: $(cat "$log")"
  done
done < <(echo "$output" | grep '^-->' | cut -c4-)
echo "$output" | tail -n 1 | grep -q "^Erased $erased items (" || fail "summary: $(echo "$output" | tail -n 1) for $erased"

# The captions in order, each followed only by its own progress lines.
expect_all_captions "$output"
echo "$output" | grep -qx -- "-->http://site100.example/" || fail "url100 not shown"
echo "$output" | grep -q -- "-->http://site101.example/" && fail "url101 shown"
echo "$output" | grep -qx -- "-->$ie/INetCache/Content.IE5/X1/deep/a.js" || fail "swept file not shown"
echo "$output" | sed -n '/Deleting IE Cookies/,/Deleting Firefox/p' | grep -qx -- '-->Cookie:me@example.com/' \
  || fail "cookie entry not shown in the cookie step"

(cd "$SANDBOX" && echo "$survivors" | sha256sum --quiet -c -) || fail "a survivor changed"
[ -L "$ie/INetCache/link-to-outside" ] && fail "link in the cache folder stayed"
for folder in History INetCache INetCookies; do
  [ -d "$ie/$folder" ] || fail "$folder itself was removed"
done
[ "$(find "$ie/History" "$ie/INetCookies" -mindepth 1 | wc -l)" -eq 0 ] || fail "IE folders not empty"
[ "$(find "$ie/INetCache" -mindepth 1)" = "$ie/INetCache/.hidden-stays" ] || fail "cache folder: $(find "$ie/INetCache")"
for f in places.sqlite places.sqlite-wal cookies.sqlite cookies.sqlite-wal formhistory.sqlite \
         formhistory.sqlite-wal downloads.sqlite history.dat cookies.txt startup.cache cache/one cache/two; do
  [ -e "$profile/$f" ] && fail "$f survived"
done
[ -s "$profile/bookmarkbackups/bookmarks-$(date +%F).json" ] || fail "bookmarks not saved"
cache2="$XDG_CACHE_HOME/mozilla/firefox/q4w8e2rt.default-esr/cache2"
[ -d "$cache2" ] && [ -z "$(ls -A "$cache2")" ] || fail "cache2 not emptied, or gone"

reg="$store/registry.reg"
grep -q '"url101"="http://site101.example/"' "$reg" || fail "url101 gone"
grep -q '"url0"=' "$reg" || fail "url0 gone"
[ "$(grep -c '"url' "$reg")" -eq 2 ] || fail "typed URLs left: $(grep '"url' "$reg")"
# The rest of the registry file is exactly as it was.
diff <(grep -v '"url[0-9]*"=' "$SANDBOX/registry.reg") <(grep -v '"url[0-9]*"=' "$reg") || fail "registry file changed"
[ -s "$store/urlcache.tsv" ] && fail "URL cache not empty: $(cat "$store/urlcache.tsv")"
[ -s "$store/urlhistory.txt" ] && fail "URL history not empty"

# A mistake on the command line deletes nothing.
put "$profile/cookies.sqlite" again
status=0
"$LARKSPUR" --clean firefox-cookies,firefox-cokies 2>"$SANDBOX/err" || status=$?
[ "$status" -eq 2 ] || fail "a misspelt item gave exit code $status"
grep -q "firefox-cokies" "$SANDBOX/err" || fail "error does not name the item"
[ -e "$profile/cookies.sqlite" ] || fail "deleted despite the mistake"
status=0
"$LARKSPUR" --clean firefox-cookies --preview firefox-cookies 2>"$SANDBOX/err" >"$SANDBOX/out" || status=$?
[ "$status" -eq 2 ] && [ ! -s "$SANDBOX/out" ] || fail "--clean with --preview: exit code $status"
[ -e "$profile/cookies.sqlite" ] || fail "deleted by --clean with --preview"
echo "1 passed, 0 failed"
