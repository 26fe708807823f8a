#!/usr/bin/env bash
# Builds and tests both builds: Linux with AddressSanitizer and UBSan, then the Windows build
# under Wine (with its installer); then makes the packages and tries the .deb.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --all
cmake --preset linux
cmake --build --preset linux
ctest --preset linux -j2
scripts/test-windows.sh
scripts/package.sh
bash tests/package/deb_test.sh build/packages/larkspur_*.deb
