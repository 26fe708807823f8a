#!/usr/bin/env bash
# Installs the Debian packages Larkspur needs, if any is missing.
#   install-deps.sh         what building it and opening its window need (scripts/run.sh)
#   install-deps.sh --all   also what testing and packaging need (scripts/test.sh, package.sh)
set -euo pipefail

build_packages=(
  cmake ninja-build g++        # the build
  qt6-base-dev fonts-liberation2  # the Linux window; Liberation Sans stands in for Arial
  qt6-svg-dev                  # the window's pictures, drawn from their vector sources
)
test_packages=(
  libgtest-dev libgmock-dev    # the tests
  findutils coreutils          # the end-to-end tests and the benchmark's reference run
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools  # the Windows build
  wine wine64                  # runs the Windows build's tests
  xvfb xauth trayer xdotool    # the window and tray tests on a virtual display with a tray host
  imagemagick                  # screenshots of the window
  dpkg-dev help2man lintian    # the .deb: dependencies, hardening flags, manual page, checks
  nsis                         # the Windows installer
)
# The tray tests under a window manager, and with a StatusNotifierWatcher on a session bus.
test_packages+=(openbox x11-utils dbus python3-dbus python3-gi)
# The window as a screen reader reads it: the AT-SPI bus and its Python client.
test_packages+=(at-spi2-core python3-pyatspi)
# The window under a dark GTK theme: Qt's GTK 3 platform theme.
test_packages+=(qt6-gtk-platformtheme)
# The start-time benchmark: hears the window's MapNotify from the X server.
test_packages+=(python3-xlib)
# Firefox: its bookmarks are read through SQLite and written as JSON; tcl makes SQLite's
# amalgamation for the Windows build from Debian's source package; a real Firefox ESR in the
# end-to-end tests (python3 drives it, in a network namespace of its own).
build_packages+=(libsqlite3-dev nlohmann-json3-dev)
test_packages+=(tcl firefox-esr python3 iproute2 util-linux)
# A real Chromium in the end-to-end test of the Chrome items.
test_packages+=(chromium)

packages=("${build_packages[@]}")
[ "${1:-}" = --all ] && packages+=("${test_packages[@]}")

missing=()
for package in "${packages[@]}"; do
  dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y "${missing[@]}"
fi
