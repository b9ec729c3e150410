#!/usr/bin/env bash
# Runs the plug-in in the stand-in player: sets up what is missing, builds the win64 plug-in and
# the demo, then runs the demo under Wine. Without a DISPLAY it plays a scripted tour headless
# (under Xvfb) and prints the folder with demo.log, the screenshots and the files the plug-in
# wrote; with a DISPLAY it opens the player's controls beside the plug-in.
#
#   tools/demo.sh [--script | --interactive] [--out FOLDER]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNIX_DEMO_BUILD:-$root/build/win64}
out=$build/demo-output
mode=
while [ $# -gt 0 ]; do
  case $1 in
    --script|--interactive) mode=$1 ;;
    --out) out=$2; shift ;;
    *) echo "usage: tools/demo.sh [--script | --interactive] [--out FOLDER]" >&2; exit 2 ;;
  esac
  shift
done
if [ -z "$mode" ]; then
  if [ -n "${DISPLAY:-}" ]; then mode=--interactive; else mode=--script; fi
fi

"$root/tools/setup.sh"
cmake --preset win64 -B "$build" >/dev/null
cmake --build "$build" -j2 --target gen_tarnix tarnix_demo

# Wine sees the Linux file system as drive Z:.
mkdir -p "$out"
out=$(cd "$out" && pwd)
winout="Z:${out//\//\\}"

cd "$build"
# A prefix of its own, whose list font is linked to a CJK font (see wine-run.sh).
export WINEPREFIX=$build/wineprefix-demo TARNIX_LINK_LIST_FONT=1
echo "demo: running ($mode) under Wine..."
status=0
# wine-run.sh starts Xvfb itself when there is no DISPLAY.
"$root/tools/wine-run.sh" demo/tarnix_demo.exe "$mode" --dll 'gen_tarnix.dll' --out "$winout" || status=$?
if [ "$mode" = --script ]; then
  echo "demo: output in $out"
  echo "demo:   log          $out/demo.log"
  echo "demo:   screenshots  $out/*.png ($(ls "$out"/*.png 2>/dev/null | wc -l) files)"
  echo "demo:   files        $out/files/ (Bookmarks\\ and plugin.ini as the plug-in left them)"
fi
exit $status
