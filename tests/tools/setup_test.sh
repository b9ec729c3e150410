#!/usr/bin/env bash
# tools/setup.sh against a stand-in apt-get on the PATH, in the three ways a mirror in the middle
# of a sync has met it: an update that fails once, an update that keeps failing with an install
# that resolves only with the release's own versions, and nothing that works.
set -uo pipefail
setup=$(cd "$(dirname "$0")/../.." && pwd)/tools/setup.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"

# apt-get: each call is logged; STUB_SCENARIO decides which calls fail.
cat >"$work/bin/apt-get" <<'STUB'
#!/usr/bin/env bash
echo "apt-get $*" >>"$STUB_LOG"
case "$1" in
  update)
    calls=$(grep -c '^apt-get update' "$STUB_LOG")
    if [ "$STUB_SCENARIO" = flaky ] && [ "$calls" -gt 1 ]; then exit 0; fi
    echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    exit 100 ;;
  install)
    case "$STUB_SCENARIO" in
      flaky) exit 0 ;;
      split) [[ " $* " == *" -t "* ]] && exit 0 ;;
    esac
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100 ;;
esac
exit 0
STUB
# Nothing is installed yet and i386 is already enabled; sudo only runs the command.
printf '#!/bin/sh\n[ "$1" = --print-foreign-architectures ] && echo i386\nexit 0\n' >"$work/bin/dpkg"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/"*

failures=0
fail() {
  echo "FAILED: $1" >&2
  failures=$((failures + 1))
}

run() {
  : >"$work/log"
  STUB_SCENARIO=$1 STUB_LOG=$work/log TARNIX_SETUP_RETRY_PAUSE=0 PATH="$work/bin:$PATH" \
    bash "$setup" >"$work/out" 2>"$work/err"
}
count() { grep -c "^apt-get $1" "$work/log"; }

run flaky
status=$?
[ $status = 0 ] || fail "flaky: exit $status"
[ "$(count update)" = 2 ] || fail "flaky: $(count update) updates, 2 expected"
[ "$(count install)" = 1 ] || fail "flaky: $(count install) installs, 1 expected"

run split
status=$?
[ $status = 0 ] || fail "split: exit $status"
[ "$(count update)" = 3 ] || fail "split: $(count update) updates, 3 expected"
grep -q -- "install .* -t " "$work/log" || fail "split: no install of the release's own versions"
grep -q "release's own versions" "$work/out" || fail "split: the fallback is not said"

run broken
status=$?
[ $status != 0 ] || fail "broken: exit 0"
[ "$(grep -c . "$work/err" | tr -d ' ')" -ge 1 ] && [ "$(grep -c '^setup: FAILED' "$work/err")" = 1 ] ||
  fail "broken: no one-line reason"
grep -q "run tools/setup.sh again" "$work/err" || fail "broken: the line does not say what to do"

[ $failures = 0 ] && echo "setup_test: all cases passed"
exit $((failures > 0))
