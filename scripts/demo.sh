#!/usr/bin/env bash
# Builds korvanel-sim when needed and runs its demonstration.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
ensure_packages "${demo_packages[@]}"
# A build folder the tests configured is reused as it is; a new one builds only the tool.
[ -f build/CMakeCache.txt ] || configure build -DKORVANEL_TESTS=OFF -DKORVANEL_BENCH=OFF
cmake --build build -j"$(nproc)" --target korvanel-sim >/dev/null
exec build/bin/korvanel-sim demo "$@"
