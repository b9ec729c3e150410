#!/usr/bin/env bash
# Installs everything the build, the tests, the fuzzers, the benchmarks and the demo need.
# Idempotent and non-interactive; run as root (or with sudo available) on Debian 12.
set -euo pipefail

packages=(
  cmake make g++ clang clang-format libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine64 wine32:i386 xvfb xauth nsis zip unzip
  googletest libgtest-dev libbenchmark-dev
  imagemagick git ca-certificates
  # a font with CJK glyphs, linked to the faces the plug-in draws with under Wine (wine-run.sh)
  fonts-wqy-microhei
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The shipping DLL is 32-bit: its suites run under the 32-bit Wine loader, which
# comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: enabling the i386 architecture"
  as_root dpkg --add-architecture i386
  as_root apt-get update -q
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  as_root apt-get update -q
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
else
  echo "setup: all packages present"
fi
