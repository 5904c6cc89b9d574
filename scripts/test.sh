#!/usr/bin/env bash
# Runs every check of the project: installs what is missing, builds and runs the tests,
# sweeps every scenario with each platform call failing in turn and runs random user stories,
# runs the tests again under AddressSanitizer and UndefinedBehaviorSanitizer, fuzzes every
# reader of outside input for a short while, cross-compiles the portable libraries for 32-bit
# Windows, then builds and tests the Windows DLLs (scripts/windows.sh), then builds the
# installer packages and checks them under Wine (scripts/installer.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

ensure_packages
jobs=$(nproc)

step "build and test"
configure build -DKORVANEL_TESTS=ON -DKORVANEL_BENCH=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

step "fault sweep: every scenario with each platform call failing in turn"
build/bin/fault_sweep tests/scenarios/files

step "random user stories"
# Fixed seeds, so that CI fails on a story it failed before; scripts/stories.sh runs more.
build/bin/random_stories --count 500 --seed 1 --keep build/failed-stories
build/bin/random_stories --count 100 --seed 90001 --steps 100 --keep build/failed-stories

step "build and test with sanitizers"
# Unoptimised: it compiles fastest, and the sanitizers see every access as written.
configure build/sanitize -DKORVANEL_SANITIZE=ON -DKORVANEL_BENCH=OFF -DCMAKE_BUILD_TYPE=
cmake --build build/sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j"$jobs"

step "fuzz every reader of outside input"
scripts/fuzz.sh all 30

step "cross-compile the portable libraries for i686 Windows"
configure build/mingw-i686 -DKORVANEL_PORTABLE_ONLY=ON \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake"
cmake --build build/mingw-i686 -j"$jobs"

scripts/windows.sh
scripts/installer.sh

step "all checks passed"
