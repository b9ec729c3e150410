#!/usr/bin/env bash
# Installs everything the build, the tests, the fuzzers, the benchmarks and the demo need; with
# --fixture-tools also the independent readers and writers the fixture scripts in tests/ run
# (ffmpeg, MKVToolNix, flac, vorbis-tools, opus-tools, mutagen, eyeD3). The test run needs none of
# those: their readings are kept beside the fixtures.
# Idempotent and non-interactive; run as root (or with sudo available) on Debian 12.
#
# A Debian mirror is often in the middle of a sync: one suite's index then has "unexpected
# size" and `apt-get update` fails although every other index arrived. The update is tried a few
# times and then the install goes on with what was fetched. When one architecture's newer index
# is the one missing (the i386 packages of the security suite), the install cannot resolve
# wine32:i386 against the newer amd64 libraries; the release's own versions of the packages are
# consistent across both architectures, so the install is tried once more with those.
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
if [ "${1:-}" = "--fixture-tools" ]; then
  packages+=(ffmpeg mkvtoolnix flac vorbis-tools opus-tools python3-mutagen eyed3)
fi

# Seconds between tries of the update; the shell test sets 0.
retry_pause=${TARNIX_SETUP_RETRY_PAUSE:-10}
update_tries=3

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

give_up() {
  echo "setup: FAILED: $1" >&2
  exit 1
}

# Tries the update a few times; a last failure is reported and then ignored, since the install
# below usually resolves from the indexes that did arrive.
update_indexes() {
  local try
  for ((try = 1; try <= update_tries; try++)); do
    if as_root apt-get update -q; then return 0; fi
    if ((try < update_tries)); then
      echo "setup: apt-get update failed (try $try of $update_tries; a mirror in the middle of a sync?); trying again"
      sleep "$retry_pause"
    fi
  done
  echo "setup: apt-get update failed $update_tries times; going on with the package indexes that were fetched"
}

release_codename() {
  local codename=""
  if [ -r /etc/os-release ]; then
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  fi
  echo "${codename:-bookworm}"
}

install_packages() {
  export DEBIAN_FRONTEND=noninteractive
  if as_root apt-get install -y -q --no-install-recommends "$@"; then return 0; fi
  local release
  release=$(release_codename)
  echo "setup: the install could not be resolved with the newest versions (one architecture's newer index" \
    "is probably missing); installing the $release release's own versions of the packages instead"
  if as_root apt-get install -y -q --no-install-recommends -t "$release" "$@"; then return 0; fi
  give_up "could not install ${*}; run 'apt-get update' again in a few minutes (the mirror may be syncing), then run tools/setup.sh again"
}

# The shipping DLL is 32-bit: its suites run under the 32-bit Wine loader, which
# comes from the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "setup: enabling the i386 architecture"
  as_root dpkg --add-architecture i386
  update_indexes
  updated=1
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  [ -n "${updated:-}" ] || update_indexes
  install_packages "${missing[@]}"
else
  echo "setup: all packages present"
fi
