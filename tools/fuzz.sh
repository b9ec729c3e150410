#!/usr/bin/env bash
# Runs each fuzz target for SECONDS (default 30) on its committed corpus; fails on any crash,
# leak, timeout or memory blow-up. Builds nothing: the fuzz preset must be built into
# build/fuzz first (tools/test-all.sh does), or point TARNIX_FUZZ_BUILD at another build.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-30}"
build="${TARNIX_FUZZ_BUILD:-build/fuzz}"
corpus_root=tests/fuzz/corpus
status=0

for target in load cda cue paste chapters id3v2 mp4 flac_ogg matroska chapter_files recovery chapter_export resume dir_index; do
  exe="$build/tests/fuzz/fuzz_$target"
  if [ ! -x "$exe" ]; then
    echo "fuzz: $exe is missing; build the fuzz preset first" >&2
    exit 1
  fi
  # New inputs go to a scratch corpus so the committed seeds stay small and reviewed.
  work="$(mktemp -d)"
  artifacts="$(mktemp -d)"
  echo "fuzz: $target for ${seconds}s"
  # A target with a format of its own has its own dictionary.
  dict=tests/fuzz/dictionary_$target.txt
  [ -f "$dict" ] || dict=tests/fuzz/dictionary.txt
  if ! "$exe" "$work" "$corpus_root/$target" -dict="$dict" \
      -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -max_len=65536 \
      -artifact_prefix="$artifacts/" -print_final_stats=1 >"$artifacts/log" 2>&1; then
    echo "fuzz: $target FAILED; last lines of its log:" >&2
    tail -40 "$artifacts/log" >&2
    ls -l "$artifacts" >&2
    echo "fuzz: keep the crash input under $corpus_root/$target/ once it is fixed" >&2
    status=1
  else
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$artifacts/log" | tail -2 || true
    rm -rf "$artifacts"
  fi
  rm -rf "$work"
done
exit $status
