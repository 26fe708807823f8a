#!/usr/bin/env bash
# larkspur --clean as an attacker would run it on Linux: mounts and links inside the Cache folder,
# cache entries naming files elsewhere, stores that are FIFOs, devices, huge files or links,
# leftovers of a crash, a closed output pipe, names with escape sequences. (Two runs at once:
# tests/posix/store_safety_test.cpp, with two processes.)
# Every file outside the targets keeps its checksum.
LARKSPUR=$1
source "$(dirname "$0")/sandbox.sh"

ie="$SANDBOX/ie"
store="$XDG_DATA_HOME/larkspur"
docs="$HOME/Documents"
ff="$XDG_CONFIG_HOME/mozilla/firefox"
mkdir -p "$ff"
put "$docs/letter.txt" "dear"
put "$docs/sub/thesis.tex" "chapter 1"
put "$SANDBOX/dotfiles/urlhistory.txt" "http://history.example/
"
put "$ie/INetCache-sibling/x.htm"

# The targets: a cache folder of many files (more output than a pipe holds), with odd names.
for n in $(seq 1 1500); do put "$ie/INetCache/Content.IE5/X$((n % 7))/page-$n.htm"; done
put "$ie/INetCache/evil
name.htm"
put "$ie/INetCache/$(printf 'title\033]0;owned\007.htm')"
mkdir -p "$ie/History" "$ie/INetCookies" "$store"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\n"History"="%s"\n"Cache"="%s"\n"Cookies"="%s"\n[HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs]\n"url1"="http://typed.example/"\n' \
  "$ie/History" "$ie/INetCache" "$ie/INetCookies" >"$store/registry.reg"
{
  printf 'http://inside.example/\t%s\n' "$ie/INetCache/Content.IE5/X1/page-1.htm"
  printf 'http://letter.example/\t%s\n' "$docs/letter.txt"
  printf 'http://up.example/\t%s\n' "$ie/INetCache/../INetCache-sibling/x.htm"
  printf 'http://linked.example/\t%s\n' "$ie/INetCache/docs-link/sub/thesis.tex"
} >"$store/urlcache.tsv"
ln -s "$docs" "$ie/INetCache/docs-link"
ln -s "$SANDBOX/dotfiles/urlhistory.txt" "$store/urlhistory.txt"
put "$store/registry.reg.tmp-Ab12Cd" "stale copy: http://typed.example/"
put "$store/registry.reg.tmp-keep" "not ours"

# Checksums of everything that must stay: all but the cache folder's files and the stores.
snapshot() {
  (cd "$SANDBOX" && find . \( -path ./ie/INetCache -o -path ./home/.local/share/larkspur \
    -o -path ./home/.local/state/larkspur \
    -o -path ./dotfiles/urlhistory.txt \) -prune \
    -o -type f -print0 | sort -z | xargs -0 sha256sum)
}
before=$(snapshot)

run() {
  # The mount namespace is the test's own: a bind mount of the Documents folder and a tmpfs
  # inside the Cache folder. Where no namespace can be made (not root), the rest still runs.
  if unshare -m true 2>/dev/null; then
    unshare -m --propagation private bash -c '
      set -e
      mkdir -p "$1/INetCache/bound" "$1/INetCache/tmpfs"
      mount --bind "$2" "$1/INetCache/bound"
      mount -t tmpfs -o size=1m tmpfs "$1/INetCache/tmpfs"
      echo on tmpfs >"$1/INetCache/tmpfs/file"
      shift 2
      "$@"
      [ -e "'"$ie"'/INetCache/bound/letter.txt" ] || { echo "bind mount emptied" >&2; exit 99; }
      [ -e "'"$ie"'/INetCache/tmpfs/file" ] || { echo "tmpfs emptied" >&2; exit 99; }' \
      _ "$ie" "$docs" "$@"
  else
    echo "note: no private mount namespace here, mounts not tried" >&2
    "$@"
  fi
}

# Output into a pipe that is closed after the first line: the run goes on, and says so.
status=0
run bash -c '"$1" --clean ie-temp-files,ie-typed-urls,ie-history | head -1 >/dev/null; exit "${PIPESTATUS[0]}"' \
  _ "$LARKSPUR" || status=$?
[ "$status" -eq 1 ] || fail "exit code with the pipe closed: $status"
[ "$(find "$ie/INetCache" -type f -name 'page-*' | wc -l)" -eq 0 ] || fail "the run stopped at the closed pipe"
[ "$before" = "$(snapshot)" ] || fail "outside the targets: $(diff <(echo "$before") <(snapshot))"
grep -q . "$SANDBOX/dotfiles/urlhistory.txt" && fail "the linked history was not emptied at its target"
[ -L "$store/urlhistory.txt" ] || fail "the history link was replaced"
[ -e "$store/registry.reg.tmp-Ab12Cd" ] && fail "stale temporary file stayed"
[ -e "$store/registry.reg.tmp-keep" ] || fail "a file not ours went"
[ -s "$store/urlcache.tsv" ] && fail "cache entries stayed: $(cat "$store/urlcache.tsv")"

# Names are printed escaped; /dev/full loses the output, never the deletions.
put "$ie/INetCache/evil
again.htm"
put "$ie/INetCache/$(printf 'title\033]0;owned\007.htm')"
output=$("$LARKSPUR" --clean ie-temp-files)
echo "$output" | grep -qxF -- "-->$ie/INetCache/evil\\nagain.htm" || fail "newline not escaped: $output"
echo "$output" | grep -qxF -- "-->$ie/INetCache/title\\x1B]0;owned\\x07.htm" || fail "escape not escaped"
[ "$(echo "$output" | wc -l)" -eq 4 ] || fail "a name made a line of its own (caption, two names, summary): $output"
put "$ie/INetCache/again.htm"
status=0
"$LARKSPUR" --clean ie-temp-files >/dev/full || status=$?
[ "$status" -eq 1 ] || fail "exit code with a full disk: $status"
[ -e "$ie/INetCache/again.htm" ] && fail "a full disk stopped the deleting"

# A file that cannot go (a file mounted on it: EBUSY) stays, counted with its reason; the bytes
# are those of what went, and the run ends with 3.
if unshare -m true 2>/dev/null; then
  put "$ie/INetCache/held.htm" "held"
  put "$ie/INetCache/gone.htm" "12345"
  output=$(unshare -m --propagation private bash -c 'mount --bind "$1" "$2" && "$3" --clean ie-temp-files
    echo "exit $?"' _ "$docs/letter.txt" "$ie/INetCache/held.htm" "$LARKSPUR")
  echo "$output" | tail -n 3 | head -n 1 | grep -qxF "stayed (in use): $ie/INetCache/held.htm" \
    || fail "the file in use not named: $output"
  echo "$output" | tail -n 2 | grep -Ezq '^Erased 1 item \([0-9.]+ kB\)\. 1 stayed: in use\.
exit 3
$' || fail "a file in use: $output"
  [ "$(cat "$ie/INetCache/held.htm")" = held ] || fail "the file in use changed"
  rm "$ie/INetCache/held.htm"
fi

# Stores that are no regular files: answered at once, left as they are.
for kind in fifo zero huge; do
  rm -f "$store/urlcache.tsv" "$store/registry.reg"
  case $kind in
    fifo) mkfifo "$store/urlcache.tsv" "$store/registry.reg" "$ff/profiles.ini" ;;
    zero) ln -s /dev/zero "$store/urlcache.tsv"; ln -s /dev/zero "$store/registry.reg" ;;
    huge) printf 'http://huge.example/\n' >"$store/urlcache.tsv"; truncate -s 65M "$store/urlcache.tsv"
          printf 'REGEDIT4\n' >"$store/registry.reg"; truncate -s 65M "$store/registry.reg" ;;
  esac
  stores=$(ls -l --time-style=full-iso "$store")
  # The huge cache's readable entry cannot go without rewriting the store: it stays, and says so.
  expected=0; [ $kind = huge ] && expected=3
  status=0; timeout 60 "$LARKSPUR" --clean all >/dev/null || status=$?
  [ "$status" -eq "$expected" ] || fail "$kind store: the run hung or failed ($status)"
  [ "$(ls -l --time-style=full-iso "$store")" = "$stores" ] || fail "$kind store changed"
done
[ "$before" = "$(snapshot)" ] || fail "outside the targets: $(diff <(echo "$before") <(snapshot))"

echo "1 passed, 0 failed"
