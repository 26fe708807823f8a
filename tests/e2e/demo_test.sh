#!/usr/bin/env bash
# --demo builds its own folder of traces and cleans only there.
LARKSPUR=$1
source "$(dirname "$0")/sandbox.sh"
export TMPDIR="$SANDBOX"
put "$HOME/keep.txt" "mine"

output=$("$LARKSPUR" --demo --clean all)
demo=$(echo "$output" | sed -n '1s/^Demo folder: //p')
case "$demo" in "$SANDBOX"/larkspur-demo-*) ;; *) fail "demo folder: $demo" ;; esac
[ "$(echo "$output" | grep -c '^Deleting')" -eq 17 ] || fail "not 17 captions: $output"
profile="$demo/config/mozilla/firefox/k7x2m9qa.default-esr"
[ -e "$profile/cookies.sqlite" ] && fail "demo cookies stayed"
[ -e "$profile/bookmarks.html" ] || fail "demo bookmarks went"
[ -e "$demo/config/chromium/Default/History" ] && fail "demo Chromium history stayed"
grep -q url101 "$demo/data/larkspur/registry.reg" || fail "url101 went"
[ "$(cat "$HOME/keep.txt")" = mine ] || fail "the real home was touched"
echo "1 passed, 0 failed"
