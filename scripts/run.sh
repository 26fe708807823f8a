#!/usr/bin/env bash
# Builds Larkspur and shows what it does on a fresh folder of sample browsing traces: it never
# touches your own browser data.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset linux-release >/dev/null
cmake --build --preset linux-release --target larkspur
build/linux-release/larkspur --demo --clean all
