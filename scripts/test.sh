#!/usr/bin/env bash
# Builds and tests both builds: Linux with AddressSanitizer and UBSan, then the Windows build
# under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset linux
cmake --build --preset linux
ctest --preset linux -j2
scripts/test-windows.sh
