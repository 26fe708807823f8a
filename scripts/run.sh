#!/usr/bin/env bash
# Installs what is missing, builds Larkspur and opens its window on a fresh folder of sample
# browsing traces (--demo), so nothing of your own is touched. Needs a display.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target larkspur
exec build/linux-release/larkspur --demo "$@"
