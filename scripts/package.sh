#!/usr/bin/env bash
# Makes the packages into build/packages/: the .deb for Debian (cpack, from a release build
# with Debian's own hardening flags), and the Windows build's portable .zip and installer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --all
out=build/packages
rm -rf "$out"
mkdir -p "$out"

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake --preset linux-release -B build/deb -DLARKSPUR_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build/deb
(cd build/deb && rm -f larkspur_*.deb && cpack)
mv build/deb/larkspur_*.deb "$out/"

cmake --preset windows -B build/windows >/dev/null
cmake --build build/windows --target larkspur_windows_packages
cp build/windows/packages/Larkspur-*.zip build/windows/packages/Larkspur-*-setup.exe "$out/"
ls -l "$out"
