#!/usr/bin/env bash
# The .deb as Debian sees it: its fields and files, a release build without sanitizers, a
# manual page made from --help, no lintian errors; it installs into a throw-away root (never
# this machine's) and is removed from it without a trace, and apt finds its dependencies.
# Usage: deb_test.sh larkspur_VERSION_ARCH.deb
DEB=$(realpath "$1")
source "$(dirname "$0")/../e2e/sandbox.sh"

field() { dpkg-deb --field "$DEB" "$1"; }
[ "$(field Package)" = larkspur ] || fail "package name: $(field Package)"
# Computed by dpkg-shlibdeps: a hand-written list would name no versions.
depends=$(field Depends)
for library in 'libc6 (>= ' 'libqt6widgets6 (>= ' 'libstdc++6 (>= '; do
  [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

listing=$(dpkg-deb --contents "$DEB")
files=$(awk '$1 ~ /^-/ {print $6}' <<<"$listing" | sort)
[ "$files" = "./usr/bin/larkspur
./usr/share/applications/larkspur.desktop
./usr/share/doc/larkspur/changelog.Debian.gz
./usr/share/doc/larkspur/copyright
./usr/share/icons/hicolor/256x256/apps/larkspur.png
./usr/share/icons/hicolor/32x32/apps/larkspur.png
./usr/share/icons/hicolor/48x48/apps/larkspur.png
./usr/share/man/man1/larkspur.1.gz" ] || fail "files: $files"
awk '$2 != "root/root"' <<<"$listing" | grep . && fail "files not owned by root"
grep -q '^-rwxr-xr-x .* \./usr/bin/larkspur$' <<<"$listing" || fail "program not executable"

unpacked=$SANDBOX/unpacked
dpkg-deb --extract "$DEB" "$unpacked"
program=$unpacked/usr/bin/larkspur
readelf -d "$program" | grep -E 'NEEDED.*lib(a|ub|l|t)san' && fail "a sanitizer build"
readelf -S "$program" | grep -q '\.symtab' && fail "program not stripped"
man=$(zcat "$unpacked/usr/share/man/man1/larkspur.1.gz")
for text in '.TH LARKSPUR "1"' '\fB\-\-list\-items\fR' '\fB\-\-clean\fR ITEMS' \
  'Start at sign-in' 'Turn On Auto Delete'; do
  grep -qF -- "$text" <<<"$man" || fail "manual page lacks $text"
done
sections=$(sed -n 's/^\.SH "\{0,1\}\([^"]*\)"\{0,1\}$/\1/p' <<<"$man" | tr '\n' ,)
[ "$sections" = "NAME,SYNOPSIS,DESCRIPTION,OPTIONS,EXIT STATUS,FILES,EXAMPLES,SEE ALSO," ] \
  || fail "manual page sections: $sections"
grep -q "default profile" <<<"$(field Description)" && fail "description: $(field Description)"
copyright=$(cat "$unpacked/usr/share/doc/larkspur/copyright")
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' <<<"$copyright" \
  && grep -qx 'License: Expat' <<<"$copyright" && grep -qx ' \.' <<<"$copyright" \
  || fail "copyright file not in Debian's form"
# The changelog, the package and the program agree on the version.
zcat "$unpacked/usr/share/doc/larkspur/changelog.Debian.gz" >"$SANDBOX/changelog"
changelog_version=$(dpkg-parsechangelog -l "$SANDBOX/changelog" -S Version)
[ "$changelog_version" = "$(field Version)" ] \
  || fail "changelog says $changelog_version, package says $(field Version)"
[ "$("$program" --version)" = "larkspur ${changelog_version%-*}" ] || fail "program says $("$program" --version)"

lint=$(lintian --fail-on error --display-level '>=warning' "$DEB" 2>&1 | { grep -v 'root privileges' || true; }) \
  || fail "lintian: $lint"
[ -z "$lint" ] || echo "lintian warnings (allowed): $lint"

# Installed into a root of its own, it runs from there; removed, nothing of it is left.
root=$SANDBOX/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
dpkg=(dpkg --root="$root" --log=/dev/null)
# The dependencies are this machine's, not the empty root's.
"${dpkg[@]}" --force-depends --install "$DEB" >/dev/null 2>&1 || fail "dpkg --install failed"
for file in $files; do
  [ -f "$root/$file" ] || fail "$file not installed"
done
"$root/usr/bin/larkspur" --list-items | grep -q '^firefox-cookies ' || fail "installed program lists no items"
"${dpkg[@]}" --purge larkspur >/dev/null || fail "dpkg --purge failed"
left=$(find "$root" -mindepth 1 -not -path "$root/var" -not -path "$root/var/lib" \
  -not -path "$root/var/lib/dpkg*")
[ "$left" = "" ] || fail "left after removal: $left"

# apt finds every dependency on this system (a simulation: nothing is installed).
simulation=$(apt-get --simulate -o Debug::NoLocking=1 install "$DEB" 2>&1) \
  || fail "apt cannot install it: $simulation"
grep -q '^Inst larkspur ' <<<"$simulation" || fail "apt would not install it: $simulation"
echo "1 passed, 0 failed"
