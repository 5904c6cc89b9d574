#!/usr/bin/env bash
# Fuzzes the readers of outside input with libFuzzer (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer).
#   scripts/fuzz.sh TARGET SECONDS   runs one target for that long after its corpus
#   scripts/fuzz.sh all SECONDS      every target in turn (what CI runs)
#   scripts/fuzz.sh list             the targets
# KORVANEL_FUZZ_TIMEOUT (seconds, default 10) bounds one input; the bound is wall-clock time,
# so a long run niced on a busy machine needs more (a starved process is not a slow input).
# Each run starts from tests/fuzz/corpus/TARGET; inputs that reach new code are kept in
# build/fuzz/corpus/TARGET, and an input that fails is written to build/fuzz/findings/ (add
# it to the corpus once the fault is mended, so the tests replay it).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

targets=(transport_headers registry_values reg_file send_keys message_file scenario)

usage() {
  echo "usage: scripts/fuzz.sh TARGET|all SECONDS   (targets: ${targets[*]})" >&2
  exit 2
}

[ $# -ge 1 ] || usage
if [ "$1" = list ]; then
  printf '%s\n' "${targets[@]}"
  exit 0
fi
[ $# -eq 2 ] || usage
what=$1
seconds=$2
[[ $seconds =~ ^[0-9]+$ ]] || usage
if [ "$what" = all ]; then
  chosen=("${targets[@]}")
else
  [[ " ${targets[*]} " == *" $what "* ]] || usage
  chosen=("$what")
fi

step "build the fuzz targets"
# Lightly optimised with debug info: fast enough to fuzz, readable stacks on a finding.
CXX=clang++ configure build/fuzz -DKORVANEL_FUZZ=ON -DKORVANEL_BENCH=OFF -DCMAKE_BUILD_TYPE= \
  -DCMAKE_CXX_FLAGS="-O1 -g"
cmake --build build/fuzz -j"$(nproc)" --target "${chosen[@]/#/fuzz_}"

mkdir -p build/fuzz/findings
failed=()
for t in "${chosen[@]}"; do
  step "fuzz $t for ${seconds}s after its corpus"
  mkdir -p "build/fuzz/corpus/$t"
  # The time limit per input catches decoding that grows faster than its input.
  if ! ASAN_OPTIONS=detect_leaks=1 "build/fuzz/bin/fuzz_$t" -max_total_time="$seconds" \
      -timeout="${KORVANEL_FUZZ_TIMEOUT:-10}" -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build/fuzz/findings/$t-" "build/fuzz/corpus/$t" "tests/fuzz/corpus/$t" \
      2>"build/fuzz/$t.log"; then
    failed+=("$t")
    tail -n 60 "build/fuzz/$t.log"
  fi
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::average_exec_per_sec)' \
    "build/fuzz/$t.log" || true
done

if ((${#failed[@]})); then
  echo "fuzzing found faults in: ${failed[*]} (inputs in build/fuzz/findings/)" >&2
  exit 1
fi
