#!/usr/bin/env bash
# The Windows packages under Wine, in a fresh prefix: the zip holds the exe, README and licence;
# the installer installs silently for the user alone, the program starts from where it was put,
# and the uninstaller takes away what the installer brought, the settings only when asked.
SETUP=$1
ZIP=$2
VERSION=$3
source "$(dirname "$0")/../e2e/sandbox.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver -k >/dev/null 2>&1 || true; chmod -R u+rwx "$SANDBOX" 2>/dev/null; rm -rf "$SANDBOX"' EXIT

zip_names=$(cmake -E tar tf "$ZIP" | sort | tr '\n' ' ')
folder=Larkspur-$VERSION-win64
[ "$zip_names" = "$folder/ $folder/LICENSE.txt $folder/README.txt $folder/larkspur.exe " ] \
  || fail "zip holds: $zip_names"

wineboot -i </dev/null >/dev/null 2>&1 || fail "wineboot failed"
# Output through a file: a Wine server started by the call must not hold a pipe open.
win() {
  wine "$@" </dev/null >"$SANDBOX/out" 2>/dev/null
  tr -d '\r' <"$SANDBOX/out"
}
unix_path() { win winepath -u "$1"; }
reg_value() { win reg query "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z]* *//p"; }
has_key() { wine reg query "$1" </dev/null >/dev/null 2>&1; }

local_data=$(unix_path "$(win cmd /c echo %LOCALAPPDATA%)")
start_menu=$(unix_path "$(win cmd /c echo %APPDATA%)")/Microsoft/Windows/Start\ Menu/Programs
[ -d "$local_data" ] && [ -d "$start_menu" ] || fail "no AppData folders in the prefix"
home=$local_data/Programs/Larkspur
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Larkspur'
settings_key='HKCU\Software\Quillmark\Larkspur'
settings_folder=$local_data/Quillmark/Larkspur
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

run_setup() {
  wine "$SETUP" /S "$@" </dev/null >/dev/null 2>&1 || fail "the installer failed"
}
# The uninstaller copies itself away and returns at once; the copy does the work.
uninstall() {
  wine "$home/uninstall.exe" /S "$@" </dev/null >/dev/null 2>&1 || fail "the uninstaller failed"
  for _ in $(seq 100); do
    [ -e "$home/uninstall.exe" ] || { wineserver -w; return; }
    sleep 0.2
  done
  fail "the uninstaller did not finish"
}

run_setup
for file in larkspur.exe uninstall.exe README.txt LICENSE.txt; do
  [ -f "$home/$file" ] || fail "$file not installed in $home"
done
[ -f "$start_menu/Larkspur.lnk" ] || fail "no Start-menu entry"
[ "$(reg_value "$uninstall_key" UninstallString)" = "\"$(win winepath -w "$home")\\uninstall.exe\"" ] \
  || fail "uninstall entry: $(reg_value "$uninstall_key" UninstallString)"
has_key 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Larkspur' \
  && fail "installed for all users"

[ "$(win "$home/larkspur.exe" --version)" = "larkspur $VERSION" ] || fail "the installed program did not start"
[ -z "$(reg_value "$run_key" Larkspur)" ] || fail "starts at sign-in unasked"
grep -q '```' "$home/README.txt" && fail "README.txt is the developers' Markdown"

# A silent uninstall keeps the settings.
win reg add "$settings_key" /v Interval /d 5 /f >/dev/null
win reg add 'HKCU\Software\Quillmark\Other' /v Kept /d 1 /f >/dev/null
put "$settings_folder/state.ini"
uninstall
[ ! -e "$home" ] || fail "left in the install folder: $(ls -A "$home")"
[ ! -e "$start_menu/Larkspur.lnk" ] || fail "Start-menu entry left"
has_key "$uninstall_key" && fail "uninstall entry left"
has_key "$settings_key" || fail "settings key removed unasked"
[ -f "$settings_folder/state.ini" ] || fail "settings folder removed unasked"

# Asked to, it removes them too, and nothing else of the same publisher, nor what links in the
# settings folder lead to (unix links: what Wine has of links and junctions). Start at sign-in,
# asked for, goes with the uninstaller.
run_setup /STARTATSIGNIN
[ "$(reg_value "$run_key" Larkspur)" = "\"$(win winepath -w "$home")\\larkspur.exe\" --tray" ] \
  || fail "Run value: $(reg_value "$run_key" Larkspur)"
outside=$SANDBOX/outside
put "$outside/file.txt" "kept"
put "$outside/folder/inner.txt" "kept"
ln -s "$outside/file.txt" "$settings_folder/file-link"
ln -s "$outside/folder" "$settings_folder/folder-link"
uninstall /REMOVESETTINGS
[ -z "$(reg_value "$run_key" Larkspur)" ] || fail "the Run value outlived the uninstaller"
[ ! -e "$home" ] || fail "left in the install folder after the second uninstall"
has_key "$settings_key" && fail "settings key kept though asked to remove it"
[ ! -e "$settings_folder/state.ini" ] || fail "settings kept though asked to remove them"
[ "$(cat "$outside/file.txt" "$outside/folder/inner.txt")" = "keptkept" ] \
  || fail "removing the settings followed a link: $(ls -AR "$outside")"
has_key 'HKCU\Software\Quillmark\Other' || fail "another program's settings removed"

# A folder that already holds the user's files gets a folder of its own inside, and the user's
# files, named as the installer's are, are neither overwritten nor removed.
custom=$SANDBOX/wine/drive_c/Tools
put "$custom/README.txt" "my readme"
put "$custom/LICENSE.txt" "my licence"
home=$custom/Larkspur
run_setup "/D=C:\\Tools"
[ -f "$home/larkspur.exe" ] || fail "not installed in a folder of its own: $(ls -A "$custom")"
uninstall
[ "$(ls -A "$custom")" = "LICENSE.txt
README.txt" ] || fail "in C:\\Tools after uninstall: $(ls -A "$custom")"
[ "$(cat "$custom/README.txt" "$custom/LICENSE.txt")" = "my readmemy licence" ] \
  || fail "the user's files changed"
echo "1 passed, 0 failed"
