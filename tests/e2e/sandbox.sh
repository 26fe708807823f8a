# Sourced by the end-to-end tests: a fresh home for the run, removed at exit.
set -euo pipefail
SANDBOX=$(mktemp -d "${TMPDIR:-/tmp}/larkspur-e2e-XXXXXX")
trap 'chmod -R u+rwx "$SANDBOX" 2>/dev/null; rm -rf "$SANDBOX"' EXIT
export HOME="$SANDBOX/home" XDG_CONFIG_HOME="$SANDBOX/home/.config"
export XDG_DATA_HOME="$SANDBOX/home/.local/share" XDG_CACHE_HOME="$SANDBOX/home/.cache"
export XDG_STATE_HOME="$SANDBOX/home/.local/state" WINEPREFIX="$SANDBOX/wine"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# put PATH [CONTENT]: a file with its folders.
put() {
  mkdir -p "$(dirname "$1")"
  printf '%s' "${2:-content of $1}" >"$1"
}

# as_run PREVIEW_OUTPUT: what the run that follows a preview prints: the preview's first line
# dropped, and its sizes and its "would" words made a run's.
as_run() {
  echo "$1" | sed -E '1{/^Preview: nothing is changed\.$/d}; s/ \([0-9,]+ bytes\)$//;
    s/^Would erase /Erased /; s/^Nothing would be erased\./Nothing erased./;
    s/ would stay: / stayed: /; s/^would stay \(/stayed (/'
}

# expect_all_captions OUTPUT: the captions of --clean all in order, each followed only by
# its own "-->" and "stayed (…)" lines, and the run's summary last.
expect_all_captions() {
  local captions
  echo "$1" | tail -n 1 |
    grep -Eq '^(Erased [0-9,]+ items? \(|Nothing erased\.|Nothing to erase\.|No Firefox profile found)' ||
    fail "no summary last: $(echo "$1" | tail -n 1)"
  captions=$(echo "$1" | sed '$d' | grep -v '^-->' | grep -v '^stayed (')
  [ "$captions" = "Deleting IE History...
Deleting IE Temporary Internet Files...
Deleting Typed Urls In IE...
Deleting IE Cookies...
Deleting Firefox History...
Deleting Firefox Downloads...
Deleting Firefox Typed URLs...
Deleting Firefox Cookies...
Deleting Firefox Cache...
Deleting Chrome History...
Deleting Chrome Cache...
Deleting Chrome Cookies...
Deleting Chrome Open Tabs...
Deleting Edge History...
Deleting Edge Cache...
Deleting Edge Cookies...
Deleting Edge Open Tabs..." ] || fail "captions: $captions"
}

