#!/usr/bin/env bash
# Makes the release package in dist/: a zip with the 32-bit DLL and the listeners' read-me, and
# the installer gen_tarnix-<version>-setup.exe (NSIS). Builds the win32 preset first; the
# debug information (gen_tarnix.dll.debug) goes beside them, for resolving crash addresses.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

version=$(sed -n 's/^project(gen_tarnix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target gen_tarnix

out=${TARNIX_DIST:-$root/dist}
rm -rf "$out"
mkdir -p "$out"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

cp build/win32/gen_tarnix.dll "$stage/"
# Listeners on Windows read the text in Notepad: CR LF.
sed 's/$/\r/' installer/readme.txt >"$stage/readme.txt"
(cd "$stage" && zip -q -X "$out/gen_tarnix-$version.zip" gen_tarnix.dll readme.txt)

makensis -V2 -DVERSION="$version" -DDLL="$stage/gen_tarnix.dll" \
  -DOUTFILE="$out/gen_tarnix-$version-setup.exe" installer/gen_tarnix.nsi
cp build/win32/gen_tarnix.dll.debug "$out/"

echo "package: $out"
ls -l "$out"
