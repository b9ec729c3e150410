#!/usr/bin/env bash
# Runs a Windows test program under 64-bit Wine, in a prefix of its own beside the build's
# CMakeCache.txt, inside a display (Xvfb when there is none).
set -euo pipefail

find_build_dir() {
  local d=$PWD
  while [ "$d" != / ]; do
    [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return; }
    d=$(dirname "$d")
  done
  echo "${TMPDIR:-/tmp}/tarnix-wine"
}

WINE=${TARNIX_WINE:-/usr/lib/wine/wine64}
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
export WINEPREFIX=${WINEPREFIX:-$(find_build_dir)/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# One-time prefix set-up, serialised between concurrent tests. The virtual desktop makes
# destroying a focused window immediate (there is no window manager under Xvfb).
if [ ! -f "$WINEPREFIX/.tarnix-ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.tarnix-ready" ]; then
      "$WINE" wineboot -i >/dev/null 2>&1 || true
      "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
      "${WINESERVER:-/usr/lib/wine/wineserver}" -w 2>/dev/null || true
      touch "$WINEPREFIX/.tarnix-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

# Keep the virtual desktop alive for the whole display session: otherwise it is torn down when
# one test process ends, and a process starting at that moment fails to create its windows.
keeper="$WINEPREFIX/.tarnix-desktop"
(
  flock 9
  if ! { [ -f "$keeper" ] && read -r pid display <"$keeper" && [ "$display" = "$DISPLAY" ] &&
         kill -0 "$pid" 2>/dev/null; }; then
    setsid "$WINE" explorer /desktop=Default,1024x768 >/dev/null 2>&1 </dev/null 9>&- &
    echo "$! $DISPLAY" >"$keeper"
    sleep 1
  fi
) 9>"$WINEPREFIX.desktop.lock"

exec "$WINE" "$@"
