#!/usr/bin/env bash
# Two `larkspur.exe --clean all` at once under Wine lose nothing: every typed URL, URL-cache
# entry and file that either run deletes stays deleted (the registry and wininet serialise
# their own writes), nothing outside the targets changes, and a third run finds nothing left.
LARKSPUR=$1
CACHE_TOOL=$2
source "$(dirname "$0")/sandbox.sh"
source "$(dirname "$0")/wine_prefix.sh"
trap stop_wine_and_remove_sandbox EXIT
boot_prefix

history=$(unix_path "$(shell_folder History)")
cache=$(unix_path "$(shell_folder Cache)")
cookies=$(unix_path "$(shell_folder Cookies)")
[ -d "$history" ] && [ -d "$cache" ] && [ -d "$cookies" ] || fail "shell folders missing"

{
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\r\n'
  for n in $(seq 0 101); do printf '"url%d"="http://site%d.example/"\r\n' "$n" "$n"; done
} >"$SANDBOX/typed.reg"
wine regedit /S "$(winepath -w "$SANDBOX/typed.reg" 2>/dev/null)" </dev/null >/dev/null 2>&1
typed_urls() {
  wine reg query 'HKCU\Software\Microsoft\Internet Explorer\TypedURLs' </dev/null 2>/dev/null \
    | tr -d '\r' | sed -n 's/^ *\(url[0-9]*\) .*/\1/p' | sort -V | tr '\n' ' '
}
[ "$(typed_urls | wc -w)" -eq 102 ] || fail "typed URLs not seeded"

for n in $(seq 1 12); do
  wine "$CACHE_TOOL" add "http://example.com/page$n.htm" </dev/null >/dev/null || fail "seed $n"
  wine "$CACHE_TOOL" add "Cookie:me@site$n.example/" </dev/null >/dev/null || fail "seed cookie $n"
done

for n in $(seq 1 200); do
  put "$cache/IE/F$((n % 7))/file$n.htm"
  put "$history/History.IE5/MSHist01$((n % 5))/visit$n.dat"
  put "$cookies/Low/me@site$n[1].txt"
done
put "$(dirname "$cache")/beside-the-cache/trap"
put "$SANDBOX/outside/target"
ln -s "$SANDBOX/outside" "$cache/IE/folder-link"
survivors=$(cd "$SANDBOX" && find . \( -path '*/beside-the-cache/*' -o -path './outside/*' \) \
  -type f | sort | xargs -d '\n' sha256sum)

wine "$LARKSPUR" --clean all </dev/null >"$SANDBOX/first.out" 2>&1 &
first=$!
wine "$LARKSPUR" --clean all </dev/null >"$SANDBOX/second.out" 2>&1 &
second=$!
first_code=0 second_code=0
wait $first || first_code=$?
wait $second || second_code=$?
for code in $first_code $second_code; do
  [ "$code" -eq 0 ] || [ "$code" -eq 3 ] || fail "a run ended with $code: $(cat "$SANDBOX"/*.out)"
done

# Every typed URL was shown by one run or the other, and none came back.
shown=$(cat "$SANDBOX/first.out" "$SANDBOX/second.out" | tr -d '\r' | sort -u)
for n in 1 50 100; do
  echo "$shown" | grep -qx -- "-->http://site$n.example/" || fail "url$n shown by neither run"
done
[ "$(typed_urls)" = "url0 url101 " ] || fail "typed URLs left: $(typed_urls)"
remaining=$(wine "$CACHE_TOOL" list </dev/null)
[ -z "$remaining" ] || fail "URL cache entries left: $remaining"
for n in 1 99 200; do
  echo "$shown" | grep -q -- "file$n.htm$" || fail "file$n.htm shown by neither run"
done
left() { (cd "$1" && find . -mindepth 1 | sort | tr '\n' ' '); }
[ "$(left "$cache")" = "./Content.IE5 ./Content.IE5/index.dat ./IE ./IE/folder-link " ] \
  || fail "cache folder: $(left "$cache")"
[ "$(left "$history")" = "./History.IE5 ./History.IE5/index.dat " ] || fail "History: $(left "$history")"
[ "$(left "$cookies")" = "./index.dat " ] || fail "cookie folder: $(left "$cookies")"
(cd "$SANDBOX" && echo "$survivors" | sha256sum --quiet -c -) || fail "a survivor changed"

# A third run finds nothing of what the two deleted.
wine "$LARKSPUR" --clean all </dev/null >"$SANDBOX/third.out" || true  # wininet's index.dat stay
third=$(tr -d '\r' <"$SANDBOX/third.out")
[ -z "$(echo "$third" | grep -- '^-->')" ] || fail "left for a third run: $third"
echo "1 passed, 0 failed"
