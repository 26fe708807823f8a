#!/usr/bin/env bash
# Makes SQLite's single-file amalgamation (sqlite3.c, sqlite3.h) from Debian's source package,
# for the Windows build, which links it into the exe. The system's apt configuration is left
# alone: the source list and package lists live in the output folder, which is kept, so a
# second run does nothing.
# Usage: scripts/sqlite-amalgamation.sh [OUTPUT_FOLDER]   (default build/sqlite-amalgamation)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/sqlite-amalgamation}")
if [ -s "$out/sqlite3.c" ] && [ -s "$out/sqlite3.h" ]; then
  exit 0
fi
mkdir -p "$out"
work="$out/work"
rm -rf "$work"
mkdir -p "$work/lists/partial" "$work/archives/partial"

# The same archive and suite as the system's own binary sources, as source entries.
{
  echo "Types: deb-src"
  awk '/^URIs:/ {print; exit}' /etc/apt/sources.list.d/debian.sources
  echo "Suites: $(. /etc/os-release && echo "$VERSION_CODENAME")"
  echo "Components: main"
  echo "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
} >"$work/sqlite.sources"
apt_options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$work/parts"
  -o "Dir::State::Lists=$work/lists" -o "Dir::Cache::Archives=$work/archives"
  -o "Debug::NoLocking=1")
mkdir -p "$work/parts"
mv "$work/sqlite.sources" "$work/parts/"
apt-get "${apt_options[@]}" update -qq
(cd "$work" && apt-get "${apt_options[@]}" source --download-only -qq sqlite3)

tarball=$(ls "$work"/sqlite3_*.orig.tar.* | head -1)
mkdir -p "$work/src"
tar -xf "$tarball" -C "$work/src" --strip-components=1
(cd "$work/src" && ./configure --quiet >/dev/null && make -s sqlite3.c >/dev/null)
cp "$work/src/sqlite3.c" "$work/src/sqlite3.h" "$out/"
rm -rf "$work"
echo "SQLite amalgamation: $out"
