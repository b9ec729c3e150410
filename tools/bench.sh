#!/usr/bin/env bash
# Builds the native preset's benchmarks and runs them; ends with each benchmark's time as a
# ratio to its floor (plain fgets/fread/fwrite over the same bytes, measured in the same run).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TARNIX_BENCH_BUILD:-build/native}"
cmake --preset native -B "$build" >/dev/null
cmake --build "$build" -j2 --target tracklist_bench import_bench embed_bench
"$build/bench/tracklist_bench" "$@"
"$build/bench/import_bench" "$@"
"$build/bench/embed/embed_bench" "$@"
