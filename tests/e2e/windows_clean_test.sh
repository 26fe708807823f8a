#!/usr/bin/env bash
# larkspur.exe under Wine, in a fresh prefix filled with browser traces as Internet Explorer and
# Firefox leave them: typed URLs in the registry, URL-cache entries, files in the History,
# INetCache and INetCookies folders (in hidden system subfolders, as Windows 10 keeps them), and
# a Firefox profile under AppData. Exactly the named things go; everything else stays byte for
# byte.
LARKSPUR=$1
CACHE_TOOL=$2
source "$(dirname "$0")/sandbox.sh"
source "$(dirname "$0")/wine_prefix.sh"
trap stop_wine_and_remove_sandbox EXIT
boot_prefix

win_history=$(shell_folder History)
win_cache=$(shell_folder Cache)
win_cookies=$(shell_folder Cookies)
win_appdata=$(shell_folder AppData)
[ -n "$win_history" ] && [ -n "$win_cache" ] && [ -n "$win_cookies" ] && [ -n "$win_appdata" ] \
  || fail "shell folders missing"
history=$(unix_path "$win_history")
cache=$(unix_path "$win_cache")
cookies=$(unix_path "$win_cookies")
appdata=$(unix_path "$win_appdata")
user_profile=$(dirname "$(dirname "$appdata")")

# Typed URLs url0 to url101; only url1 to url100 are the cleaner's.
{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\r\n'
  for n in $(seq 0 101); do printf '"url%d"="http://site%d.example/"\r\n' "$n" "$n"; done
} >"$SANDBOX/typed.reg"
wine regedit /S "$(winepath -w "$SANDBOX/typed.reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
typed_urls() {
  wine reg query 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs' </dev/null 2>/dev/null \
    | tr -d '\r' | sed -n 's/^ *\(url[0-9]*\) .*/\1/p' | sort -V | tr '\n' ' '
}
[ "$(typed_urls | wc -w)" -eq 102 ] || fail "typed URLs not seeded: $(typed_urls)"

for url in "http://example.com/page.htm" "http://example.com/logo.png" "Cookie:me@example.com/" \
           "Visited: me@http://example.com/page.htm"; do
  wine "$CACHE_TOOL" add "$url" </dev/null >/dev/null || fail "cannot seed $url"
done
[ "$(wine "$CACHE_TOOL" list </dev/null | wc -l)" -ge 4 ] || fail "URL cache not seeded"

put "$history/History.IE5/MSHist012026120720261208/index.dat"
put "$history/Low/History.IE5/MSHist012026120720261208/index.dat"
put "$cache/Content.IE5/X1Y2Z3/page[1].htm"
put "$cache/Content.IE5/X1Y2Z3/deep/a.js"
put "$cache/Content.IE5/X1Y2Z3/Привет мир.htm"      # a name outside the ANSI code page
put "$cache/IE/ABCD1234/style[2].css"
put "$cache/Low/IE/EFGH5678/script[1].js"
long_name=$(printf '%0100d' 0)                       # a path far beyond MAX_PATH
put "$cache/IE/$long_name/$long_name/$long_name/deep.htm"
put "$cache/.hidden-stays"                          # Wine shows dot files as hidden
put "$cookies/me@example[1].txt"
put "$cookies/Low/me@low.example[1].txt"
for folder in "$history" "$cache" "$cookies"; do put "$folder/desktop.ini"; done
# Hidden and system as Windows 10 marks them; Wine's attrib takes one attribute a call.
{
  for path in "$win_history\History.IE5" "$win_history\History.IE5\MSHist012026120720261208" \
              "$win_history\Low" "$win_history\Low\History.IE5" "$win_cache\Content.IE5" \
              "$win_cache\IE" "$win_cache\Low" "$win_cache\Low\IE" "$win_cookies\Low" \
              "$win_history\desktop.ini" "$win_cache\desktop.ini" "$win_cookies\desktop.ini"; do
    printf 'attrib +h "%s"\r\nattrib +s "%s"\r\n' "$path" "$path"
  done
} >"$SANDBOX/attributes.bat"
wine cmd /c "$(winepath -w "$SANDBOX/attributes.bat" 2>/dev/null)" </dev/null >/dev/null 2>&1
[ "$(wine cmd /c attrib "$win_cache\IE" </dev/null 2>/dev/null | cut -c1-12 | tr -d ' \r')" = "SH" ] \
  || fail "hidden and system attributes not set"
chmod a-w "$cache/Content.IE5/X1Y2Z3/page[1].htm"   # read-only in Windows terms
put "$(dirname "$cache")/beside-the-cache/trap"     # beside a swept folder
put "$SANDBOX/outside/target-of-folder-link"
put "$SANDBOX/outside-file"
ln -s "$SANDBOX/outside" "$cache/Content.IE5/folder-link"
ln -s "$SANDBOX/outside" "$cache/IE/folder-link"      # in a hidden system folder
ln -s "$SANDBOX/outside-file" "$cookies/file-link"
put "$HOME/letter.txt"                              # Wine links Documents to HOME

ff="$appdata/Mozilla/Firefox"
profile="$ff/Profiles/q4w8e2rt.default-release"
printf '[Install308046B0AF4A39CB]\r\nDefault=Profiles/q4w8e2rt.default-release\r\nLocked=1\r\n\r\n[Profile1]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/z9x8c7v6.default\r\nDefault=1\r\n\r\n[Profile0]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/q4w8e2rt.default-release\r\n\r\n[General]\r\nStartWithLastProfile=1\r\nVersion=2\r\n' \
  >"$SANDBOX/profiles.ini"
mkdir -p "$ff" && cp "$SANDBOX/profiles.ini" "$ff/profiles.ini"
doomed="places.sqlite places.sqlite-wal cookies.sqlite cookies.sqlite-wal formhistory.sqlite
        downloads.sqlite history.dat cookies.txt startup.cache cache/one cache/two"
for f in $doomed; do put "$profile/$f"; done
for f in favicons.sqlite bookmarks.html prefs.js cache/sub/stays storage/x.cache; do
  put "$profile/$f"
done
python3 "$(dirname "$0")/firefox/make_places.py" "$profile/places.sqlite.new"
mv "$profile/places.sqlite.new" "$profile/places.sqlite"   # bookmarks to keep
put "$ff/Profiles/z9x8c7v6.default/cookies.sqlite"   # listed, but no profile: no prefs.js

survivors=$(cd "$SANDBOX" && find . -path ./wine/drive_c/windows -prune -o -type f \( \
  -path "*/q4w8e2rt.default-release/*" -a \( -name 'favicons*' -o -name 'bookmarks*' \
  -o -name prefs.js -o -path '*/cache/sub/*' -o -path '*/storage/*' \) \
  -o -path './outside*' -o -path '*/beside-the-cache/*' -o -name .hidden-stays -o -name desktop.ini \
  -o -path '*/z9x8c7v6.default/*' -o -name profiles.ini -o -name letter.txt \) -print \
  | sort | xargs -d '\n' sha256sum)
[ "$(echo "$survivors" | wc -l)" -eq 16 ] || fail "expected 16 survivors, found: $survivors"

# Typed URLs only: url1 to url100 are shown and deleted, url0 and url101 stay.
output=$(wine "$LARKSPUR" --clean ie-typed-urls </dev/null | tr -d '\r')
[ "$(echo "$output" | head -1)" = "Deleting Typed Urls In IE..." ] || fail "caption: $output"
for n in 1 57 100; do
  echo "$output" | grep -qx -- "-->http://site$n.example/" || fail "url$n not shown"
done
echo "$output" | grep -q -- "site101\|site0\." && fail "url0 or url101 shown"
[ "$(echo "$output" | grep -c -- '^-->')" -eq 100 ] || fail "not 100 URLs shown"
[ "$(typed_urls)" = "url0 url101 " ] || fail "typed URLs left: $(typed_urls)"

# A file another program holds open without delete sharing stays, and is counted as in use;
# its 3 MB would show in the bytes (KB) if it were counted as erased.
head -c 3000000 /dev/zero >"$cache/held.dat"
mkfifo "$SANDBOX/hold"
wine "$CACHE_TOOL" hold "$win_cache\held.dat" <"$SANDBOX/hold" >"$SANDBOX/held" &
exec 7>"$SANDBOX/hold"
for _ in $(seq 100); do grep -q held "$SANDBOX/held" && break; sleep 0.1; done
grep -q held "$SANDBOX/held" || fail "cannot hold the file open"

# The preview lists what the run that follows erases, sizes aside, and changes no byte.
fingerprint() {
  (cd "$SANDBOX" && find . -path ./wine/drive_c/windows -prune -o -type f -print0 \
    | sort -z | xargs -0 sha256sum)
}
before=$(fingerprint)
preview=$(wine "$LARKSPUR" --preview all </dev/null | tr -d '\r')
diff <(echo "$before") <(fingerprint) || fail "the preview changed files"
status=0
wine "$LARKSPUR" --clean all </dev/null >"$SANDBOX/clean.txt" || status=$?
output=$(tr -d '\r' <"$SANDBOX/clean.txt")
exec 7>&-
wait
[ "$status" -eq 3 ] || fail "clean exited $status, not 3: something stayed"
[ "$(echo "$preview" | head -1)" = "Preview: nothing is changed." ] || fail "preview's first line: $preview"
diff <(as_run "$preview" | grep -- '^-->') <(echo "$output" | grep -- '^-->') \
  || fail "the preview listed other things than the run erased"
[ "$(echo "$output" | tail -1)" = "$(as_run "$preview" | tail -1)" ] || fail "summaries differ"
# In use besides: the three index.dat files that wininet maps; refused: the three unix links;
# refused for safety: the folder listed as a profile that is none, once for each Firefox item;
# not supported: Wine's URL history, which cannot be cleared. Each is named on a line of its own.
echo "$output" | tail -1 \
  | grep -Eq '^Erased [0-9]+ items \([0-9.,]+ (KB|MB)\)\. 13 stayed: 4 in use, 3 access refused, 5 refused for safety, 1 not supported\.$' \
  || fail "summary: $(echo "$output" | tail -1)"
expect_all_captions "$output"
echo "$output" | grep -qxF "stayed (not supported): URL history" || fail "URL history not named: $output"
echo "$output" | grep -qxF "stayed (in use): $win_cache\held.dat" || fail "held file not named: $output"
echo "$output" | grep -qxF -- "-->$win_cache\\Content.IE5\\X1Y2Z3\\deep\\a.js" \
  || fail "swept file not shown as a Windows path: $output"
echo "$output" | grep -qxF -- "-->$win_cache\\Content.IE5\\X1Y2Z3\\Привет мир.htm" \
  || fail "the Cyrillic name is not shown as it is"
echo "$output" | grep -qxF -- "-->$win_cache\\Low\\IE\\EFGH5678\\script[1].js" \
  || fail "a file in a hidden system folder not shown"
echo "$output" | grep -qxF -- "-->$win_cache\\IE\\$long_name\\$long_name\\$long_name\\deep.htm" \
  || fail "the file beyond MAX_PATH not shown"
echo "$output" | sed -n '/Deleting IE Cookies/,/Deleting Firefox/p' | grep -qx -- '-->Cookie:me@example.com/' \
  || fail "cookie entry not shown in the cookie step"

(cd "$SANDBOX" && echo "$survivors" | sha256sum --quiet -c -) || fail "a survivor changed"
remaining=$(wine "$CACHE_TOOL" list </dev/null)
[ -z "$remaining" ] || fail "URL cache entries left: $remaining"
# Under Wine a unix link opens as its target and deleting it deletes the target, so links stay
# where they are, untouched, with their targets (checked above with the survivors).
[ -L "$cache/Content.IE5/folder-link" ] && [ -L "$cache/IE/folder-link" ] && [ -L "$cookies/file-link" ] \
  || fail "a link was replaced"
for folder in "$history" "$cache" "$cookies"; do
  [ -d "$folder" ] || fail "$folder itself was removed"
done
# Hidden system folders that stay are hidden and system still.
for folder in "$win_cache\Content.IE5" "$win_cache\IE" "$win_history\History.IE5"; do
  [ "$(wine cmd /c attrib "$folder" </dev/null 2>/dev/null | cut -c1-12 | tr -d ' \r')" = "SH" ] \
    || fail "$folder lost its attributes"
done
# What stays: the URL cache's own index.dat files, which wininet holds open in this very process
# (as on Windows), hidden and system files, and the links; hidden system folders are emptied.
left() { (cd "$1" && find . -mindepth 1 | sort | tr '\n' ' '); }
[ "$(left "$history")" = "./History.IE5 ./History.IE5/index.dat ./desktop.ini " ] \
  || fail "History: $(left "$history")"
[ "$(left "$cookies")" = "./desktop.ini ./file-link ./index.dat " ] \
  || fail "cookie folder: $(left "$cookies")"
[ "$(left "$cache")" = "./.hidden-stays ./Content.IE5 ./Content.IE5/folder-link ./Content.IE5/index.dat ./IE ./IE/folder-link ./desktop.ini ./held.dat " ] \
  || fail "cache folder: $(left "$cache")"
for f in $doomed; do
  [ -e "$profile/$f" ] && fail "$f survived"
done
[ -d "$user_profile" ] || fail "the user's folder went"
echo "1 passed, 0 failed"
