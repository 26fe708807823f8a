#!/usr/bin/env bash
# Under Wine a unix mount of another file system inside a swept folder (a bind mount of a
# documents folder from a partition of its own, a tmpfs) is a plain folder on a volume of its
# own: the sweep does not enter it. A swept folder that is itself such a mount is left alone, since
# Wine can tell no volume for it, so it cannot be told apart from the profile folder. (A bind mount
# from the prefix's own file system looks to Windows programs like any folder of it, and is
# swept: Wine shows nothing that tells the two apart.) Runs in a private mount namespace, so it
# needs root; 77 skips it.
LARKSPUR=$1
if [ -z "${LARKSPUR_IN_NAMESPACE:-}" ]; then
  [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null || { echo "needs root and unshare -m"; exit 77; }
  LARKSPUR_IN_NAMESPACE=1 exec unshare -m --propagation private bash "$0" "$@"
fi
source "$(dirname "$0")/sandbox.sh"
source "$(dirname "$0")/wine_prefix.sh"
# The wine server must start inside the namespace to see the mounts, which go before the sandbox.
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  findmnt -rn -o TARGET | grep "^$SANDBOX/" | sort -r | xargs -r umount -l || true
  rm -rf "$SANDBOX"
}
trap cleanup EXIT

boot_prefix
cache=$(unix_path "$(shell_folder Cache)")
cookies=$(unix_path "$(shell_folder Cookies)")
[ -d "$cache" ] && [ -d "$cookies" ] || fail "shell folders missing"

mkdir -p "$SANDBOX/partition"
mount -t tmpfs larkspur-test "$SANDBOX/partition" || fail "cannot mount a tmpfs"
put "$SANDBOX/partition/documents/letter.txt"
put "$SANDBOX/partition/documents/sub/draft.txt"
mkdir -p "$cache/IE/documents" "$cache/IE/tmpfs"
mount --bind "$SANDBOX/partition/documents" "$cache/IE/documents" || fail "cannot bind-mount"
mount -t tmpfs larkspur-test "$cache/IE/tmpfs" || fail "cannot mount a tmpfs"
put "$cache/IE/tmpfs/on-tmpfs.dat"
put "$cache/IE/ABCD1234/page[1].htm"
mount -t tmpfs larkspur-test "$cookies" || fail "cannot mount a tmpfs on the cookie folder"
put "$cookies/Low/me@example[1].txt"
kept=$(cd "$SANDBOX" && find partition "${cache#"$SANDBOX/"}/IE/tmpfs" "${cookies#"$SANDBOX/"}" -type f | sort | xargs -d '\n' sha256sum)

status=0
wine "$LARKSPUR" --clean ie-temp-files,ie-cookies </dev/null >"$SANDBOX/run.out" 2>&1 || status=$?
(cd "$SANDBOX" && echo "$kept" | sha256sum --quiet -c -) || fail "a file in a mount went"
[ -e "$cache/IE/ABCD1234" ] && fail "the cache was not swept: $(cat "$SANDBOX/run.out")"
grep -q '^-->' "$SANDBOX/run.out" || fail "nothing shown: $(cat "$SANDBOX/run.out")"
[ "$status" -eq 3 ] || fail "exit code $status: $(cat "$SANDBOX/run.out")"
echo "1 passed, 0 failed"
