#!/usr/bin/env bash
# Sets up the machine and runs every test: native under sanitizers, the shipping win32 DLL's static
# checks and its suites under 32-bit Wine, the win64 suites under Wine and short fuzz runs.
# Fails when any part fails; a machine that cannot run 32-bit programs skips that one stage
# and says so.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each stage's wall time is printed when the next begins and summed at the end, so a slow
# stage shows without a profiler.
started=$SECONDS
stage_name=""
stage_start=$SECONDS
stage_times=()
end_stage() {
  if [ -n "$stage_name" ]; then
    stage_times+=("$(printf '%4ds  %s' $((SECONDS - stage_start)) "$stage_name")")
  fi
}
step() {
  end_stage
  stage_name=$*
  stage_start=$SECONDS
  echo
  echo "=== $* ==="
}
print_times() {
  end_stage
  stage_name=""
  echo
  echo "time per stage:"
  printf '  %s\n' "${stage_times[@]}"
  echo "  total $((SECONDS - started))s"
}
trap print_times EXIT

step "set-up"
tools/setup.sh

# Every C++ file in the repository as .clang-format lays it out; a drifted file fails here
# with the lines that differ.
step "format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror

# The portable code's tests run once, in the sanitizer build (the optimised native build runs the
# same tests: `cmake --preset native`); its benchmarks are built there too, so they keep compiling.
step "native-asan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
ctest --preset native-asan

step "win32: the shipping DLL's export, import and debug checks"
cmake --preset win32 >/dev/null
cmake --build --preset win32
ctest --preset win32 -R '^dll_'

step "win64: build"
cmake --preset win64 >/dev/null
cmake --build --preset win64

# Every Windows suite runs inside one display and one Wine server per build. The suites wait on
# windows and timers far more than they compute, so the two widths run at the same time, each in a
# display and a Wine prefix of its own; each width's output is printed whole when both are done.
under_wine() {
  local preset=$1 display=$2
  shift 2
  local status=0
  # The prefix is made whole before the first test starts (wine-run.sh --prepare).
  WINEPREFIX=$PWD/build/$preset/wineprefix tools/wine-run.sh --prepare || status=$?
  [ "$status" = 0 ] || return "$status"
  xvfb-run -a -n "$display" -s "-screen 0 1024x768x24" ctest --preset "$preset" "$@" || status=$?
  WINEPREFIX=$PWD/build/$preset/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  return "$status"
}

step "Windows suites under Wine: win32 (32-bit Wine) and win64, side by side"
logs=$(mktemp -d)
win32_pid=""
if reason=$(tools/can-run-32bit.sh); then
  under_wine win32 90 -E '^dll_' >"$logs/win32.log" 2>&1 &
  win32_pid=$!
elif [ -x /usr/lib/wine/wine ]; then
  echo "win32 under 32-bit Wine: SKIPPED: $reason" >"$logs/win32.log"
else
  echo "win32 under 32-bit Wine: FAILED: $reason" >&2
  exit 1
fi
win64_status=0
under_wine win64 120 >"$logs/win64.log" 2>&1 || win64_status=$?
win32_status=0
if [ -n "$win32_pid" ]; then wait "$win32_pid" || win32_status=$?; fi
echo "--- win32 under 32-bit Wine ---"
cat "$logs/win32.log"
echo "--- win64 under Wine ---"
cat "$logs/win64.log"
if [ "$win32_status" != 0 ] || [ "$win64_status" != 0 ]; then
  # The failures again, short, last: a long log's middle is where a reader of its end never looks.
  for width in win32 win64; do
    echo "--- what failed in $width ---"
    grep -E -A6 ': Failure$|^\[  FAILED  \]|asked for on thread|\*\*\*(Failed|Timeout|Exception)' \
      "$logs/$width.log" | head -120 || true
  done
fi
rm -rf "$logs"
if [ "$win32_status" != 0 ] || [ "$win64_status" != 0 ]; then
  echo "Windows suites: FAILED (win32 status $win32_status, win64 status $win64_status)" >&2
  exit 1
fi

# Fourteen targets at 4 s each keep the whole command within its time on a 2-core machine (the
# corpora also replay in every native build); longer runs: TARNIX_FUZZ_SECONDS, or tools/fuzz.sh.
step "fuzz (bounded runs)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
tools/fuzz.sh "${TARNIX_FUZZ_SECONDS:-4}"

echo
echo "all tests passed"
