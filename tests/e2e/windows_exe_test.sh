#!/usr/bin/env bash
# The shipped file: one exe that needs only the system's own DLLs, with its version information,
# and a window program (no console of its own) that still answers on the command line.
set -euo pipefail
EXE=$1
VERSION=$2
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

headers=$(x86_64-w64-mingw32-objdump -p "$EXE")
imports=$(sed -n 's/^\tDLL Name: //p' <<<"$headers" | tr 'a-z' 'A-Z' | sort)
for dll in $imports; do
  case $dll in
    KERNEL32.DLL | ADVAPI32.DLL | MSVCRT.DLL | OLE32.DLL | SHELL32.DLL | WININET.DLL | USER32.DLL | GDI32.DLL \
    | COMCTL32.DLL | UXTHEME.DLL | OLEAUT32.DLL) ;;
    *) fail "imports $dll, which Windows does not bring" ;;
  esac
done
grep -q "^Subsystem.*(Windows GUI)" <<<"$headers" || fail "not a window program"

resources=$(x86_64-w64-mingw32-windres -i "$EXE" -O rc)
for value in "\"ProductName\", \"Larkspur\"" "\"FileVersion\", \"$VERSION\"" \
             "\"OriginalFilename\", \"larkspur.exe\""; do
  grep -qF "$value" <<<"$resources" || fail "version information lacks $value"
done
# The program icon first, then the tray's and the three buttons' pictures; the manifest that asks
# for the common controls with pictures beside captions.
for icon in 1 2 3 4 5; do
  grep -q "^$icon 14 /\* RT_GROUP_ICON \*/" <<<"$resources" || fail "icon $icon missing"
done
grep -q "^1 24 /\* RT_MANIFEST \*/" <<<"$resources" || fail "no manifest"
grep -q "Microsoft.Windows.Common-Controls" <<<"$resources" || fail "manifest lacks the controls"
echo "1 passed, 0 failed"
