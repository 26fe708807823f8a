# Sourced after sandbox.sh by the tests that run larkspur.exe: Wine in the sandbox's own prefix,
# quiet and without Mono/Gecko prompts, and the prefix's Shell Folders as unix paths.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The sandbox's exit trap, with the prefix's wine server stopped first.
stop_wine_and_remove_sandbox() {
  wineserver -k >/dev/null 2>&1
  chmod -R u+rwx "$SANDBOX" 2>/dev/null
  rm -rf "$SANDBOX"
}

# Wine's background processes must not hold the test's output open.
boot_prefix() {
  wineboot -i </dev/null >/dev/null 2>&1 || fail "wineboot failed"
}

# shell_folder NAME: the value under Explorer's Shell Folders, as Windows gives it.
shell_folder() {
  wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' /v "$1" \
    </dev/null 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }
