#!/usr/bin/env bash
# Random user stories on Outlook 2003 and 2007, checked against what every run must keep (no
# anomaly, nothing lost, every send left or told, every arrival stamped as `explain` says).
#   scripts/stories.sh [COUNT] [SEED] [STEPS]   COUNT stories (default 1000) from SEED (default:
#                                               a new one each time), STEPS steps each (30)
# A failing story is written to build/failed-stories/story-SEED.json, which
# `build/bin/korvanel-sim run` replays.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib.sh

count=${1:-1000}
seed=${2:-$(( $(date +%s) % 1000000000 ))}
steps=${3:-30}
for n in "$count" "$seed" "$steps"; do
  [[ $n =~ ^[0-9]+$ ]] || { echo "usage: scripts/stories.sh [COUNT] [SEED] [STEPS]" >&2; exit 2; }
done

if [ ! -x build/bin/random_stories ]; then
  step "build random_stories"
  configure build -DKORVANEL_TESTS=ON
  cmake --build build -j"$(nproc)" --target random_stories
fi
step "$count random stories of $steps steps from seed $seed"
build/bin/random_stories --count "$count" --seed "$seed" --steps "$steps" --keep build/failed-stories
