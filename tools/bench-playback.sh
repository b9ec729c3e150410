#!/usr/bin/env bash
# Playback benchmarks of the plug-in in the stand-in player under Wine: the highlight error at
# subtrack boundaries, the plug-in thread's CPU time per minute of playback with the window shown
# and hidden (the difference is what showing costs: the playing row's progress paints once a
# second), and a song change among stored lists (after the first, and the first after a restart,
# against merely listing the directory and against the plain search). Each runs in a process of
# its own; the player's clock runs in real time, so the whole run takes about five minutes.
# Wine counts a thread's CPU time in 10 ms steps: compare CPU figures over several runs.
#
#   tools/bench-playback.sh [highlight] [cpu] [cpu-hidden] [cpu-dense] [songchange [LISTS...]]
#   (default: all)   e.g. tools/bench-playback.sh songchange 5000 20000
# Environment: BENCH_PRESET (win64; win32 runs the shipping DLL under 32-bit Wine),
# BENCH_BOUNDARIES (55), BENCH_SECONDS (60), BENCH_LISTS (5000), BENCH_ROUNDS (3).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
preset=${BENCH_PRESET:-win64}
case $preset in
  win64) ;;
  win32) export TARNIX_WINE=${TARNIX_WINE:-/usr/lib/wine/wine} ;;
  *) echo "bench-playback: unknown preset $preset" >&2; exit 2 ;;
esac
build=${TARNIX_BENCH_BUILD:-$root/build/$preset}
runs=()
# A number after "songchange" is a list count for one more song change run.
for arg in "$@"; do
  if [[ $arg =~ ^[0-9]+$ ]] && [ ${#runs[@]} -gt 0 ] && [[ ${runs[-1]} == songchange* ]]; then
    if [ "${runs[-1]}" = songchange ]; then runs[-1]="songchange:$arg"; else runs+=("songchange:$arg"); fi
  else
    runs+=("$arg")
  fi
done
[ ${#runs[@]} -gt 0 ] || runs=(highlight cpu cpu-hidden cpu-dense songchange)

cmake --preset "$preset" -B "$build" -DTARNIX_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target gen_tarnix tarnix_bench_playback >/dev/null

cd "$build"
bench() { "$root/tools/wine-run.sh" bench/playback/tarnix_bench_playback.exe "$@" --dll gen_tarnix.dll; }
for run in "${runs[@]}"; do
  case $run in
    highlight) bench highlight --boundaries "${BENCH_BOUNDARIES:-55}" ;;
    cpu) bench cpu --seconds "${BENCH_SECONDS:-60}" ;;
    cpu-hidden) bench cpu --hidden --seconds "${BENCH_SECONDS:-60}" ;;
    cpu-dense) bench cpu --dense --seconds "${BENCH_SECONDS:-60}" ;;
    songchange) bench songchange --lists "${BENCH_LISTS:-5000}" --rounds "${BENCH_ROUNDS:-3}" ;;
    songchange:*) bench songchange --lists "${run#songchange:}" --rounds "${BENCH_ROUNDS:-3}" ;;
    *) echo "bench-playback: unknown run $run" >&2; exit 2 ;;
  esac
  echo
done
