#!/usr/bin/env bash
# Sets up the machine and runs every test: native, sanitizers, the win32 artifact checks,
# the win64 suites under Wine and short fuzz runs. Fails when any part fails.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh

step() { echo; echo "=== $* ==="; }

step "native"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

step "native-asan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
ctest --preset native-asan

step "win32 (shipping DLL, static checks)"
cmake --preset win32 >/dev/null
cmake --build --preset win32
ctest --preset win32

step "win64 under Wine"
cmake --preset win64 >/dev/null
cmake --build --preset win64
# One display and one Wine server for the whole run.
status=0
xvfb-run -a -s "-screen 0 1024x768x24" ctest --preset win64 || status=$?
WINEPREFIX=$PWD/build/win64/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null || true
[ "$status" -eq 0 ] || exit "$status"

step "fuzz (bounded runs)"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
tools/fuzz.sh "${TARNIX_FUZZ_SECONDS:-30}"

echo
echo "all tests passed"
