#!/usr/bin/env bash
# Playback benchmarks of the win64 plug-in in the stand-in player under Wine: the highlight
# error at subtrack boundaries, the plug-in thread's CPU time per minute of playback, and a
# song change among 5,000 stored lists. Each runs in a process of its own; the player's clock
# runs in real time, so the whole run takes about four minutes.
#
#   tools/bench-playback.sh [highlight] [cpu] [cpu-dense] [songchange]   (default: all)
# Environment: BENCH_BOUNDARIES (55), BENCH_SECONDS (60), BENCH_LISTS (5000), BENCH_ROUNDS (3).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNIX_BENCH_BUILD:-$root/build/win64}
runs=("$@")
[ ${#runs[@]} -gt 0 ] || runs=(highlight cpu cpu-dense songchange)

cmake --preset win64 -B "$build" -DTARNIX_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target gen_tarnix tarnix_bench_playback >/dev/null

cd "$build"
bench() { "$root/tools/wine-run.sh" bench/playback/tarnix_bench_playback.exe "$@" --dll gen_tarnix.dll; }
for run in "${runs[@]}"; do
  case $run in
    highlight) bench highlight --boundaries "${BENCH_BOUNDARIES:-55}" ;;
    cpu) bench cpu --seconds "${BENCH_SECONDS:-60}" ;;
    cpu-dense) bench cpu --dense --seconds "${BENCH_SECONDS:-60}" ;;
    songchange) bench songchange --lists "${BENCH_LISTS:-5000}" --rounds "${BENCH_ROUNDS:-3}" ;;
    *) echo "bench-playback: unknown run $run" >&2; exit 2 ;;
  esac
  echo
done
