#!/usr/bin/env bash
# Builds korvanel-sim when needed and runs its demonstration.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh
ensure_packages
configure build
cmake --build build -j"$(nproc)" --target korvanel-sim >/dev/null
exec build/bin/korvanel-sim demo "$@"
