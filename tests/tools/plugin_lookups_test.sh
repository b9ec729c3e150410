#!/usr/bin/env bash
# The UI thread's Plugin is handed down from where the player calls in: ThePlugin() and
# CurrentPlugin() are looked up only at the UI thread's start-up and shutdown, not by the code
# they run. Counts the lookups in the product's sources (everything but the tests, the stand-in
# player, benchmarks, demo and tools; their declaration and definition in host/plugin.* aside)
# and fails at ten or more. Takes the source tree to check, this one by default.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root"
limit=10

uses=$(find . \( -path ./build -o -path ./tests -o -path ./testhost -o -path ./bench -o -path ./demo -o -path ./tools \
  -o -path ./.git \) -prune -o \( -name '*.cpp' -o -name '*.h' \) -print |
  grep -v -E '^\./host/plugin\.(h|cpp)$' | sort |
  xargs grep -n -o -E '\b(ThePlugin|CurrentPlugin)\(\)' || true)
count=$(printf '%s' "$uses" | grep -c . || true)
[ -n "$uses" ] && printf '%s\n' "$uses"
if [ "$count" -ge "$limit" ]; then
  echo "FAIL: ThePlugin() and CurrentPlugin() in $count places of product code; at most $((limit - 1))" >&2
  exit 1
fi
echo "ThePlugin() and CurrentPlugin() in $count places of product code"
