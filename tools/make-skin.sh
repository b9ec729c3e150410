#!/usr/bin/env bash
# Regenerates resources/skin.bmp and resources/tarnix.ico from tools/skin/. With a directory
# argument it also writes mock pictures of the painted window there (BMP and, when ImageMagick
# is present, enlarged PNG).
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/make-skin
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=g++ -DCMAKE_C_COMPILER=gcc >/dev/null
cmake --build "$build" -j2 --target make_skin >/dev/null
if [ $# -gt 0 ]; then
  mkdir -p "$1"
  "$build/tools/make_skin" resources "$1"
  if command -v convert >/dev/null; then
    for f in "$1"/*.bmp resources/skin.bmp; do
      convert "$f" -scale 400% "$1/$(basename "${f%.bmp}").png"
    done
  fi
else
  "$build/tools/make_skin" resources
fi
echo "wrote resources/skin.bmp and resources/tarnix.ico"
