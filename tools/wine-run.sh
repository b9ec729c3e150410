#!/usr/bin/env bash
# Runs a Windows test program under Wine, in a prefix of its own beside the build's
# CMakeCache.txt, inside a display (Xvfb when there is none). TARNIX_WINE picks the loader:
# the 64-bit one by default, /usr/lib/wine/wine for 32-bit programs. Both share one prefix,
# made by the 64-bit loader so that it holds the 32-bit system DLLs too.
set -euo pipefail

find_build_dir() {
  local d=$PWD
  while [ "$d" != / ]; do
    [ -f "$d/CMakeCache.txt" ] && { echo "$d"; return; }
    d=$(dirname "$d")
  done
  echo "${TMPDIR:-/tmp}/tarnix-wine"
}

WINE64=/usr/lib/wine/wine64
[ -x "$WINE64" ] || WINE64=$(command -v wine64 || command -v wine)
WINE=${TARNIX_WINE:-$WINE64}
export WINEPREFIX=${WINEPREFIX:-$(find_build_dir)/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

# One-time prefix set-up, serialised between concurrent tests and finished before any test of
# ours runs in the prefix: a registry change made while another test starts up has hung that
# test. The virtual desktop makes destroying a focused window immediate (there is no window
# manager under Xvfb).
#
# Font linking, as a Windows system has it: the dialogs' faces (MS Shell Dlg and what it stands
# for) take the glyphs they lack, CJK above all, from an installed font that has them. With
# TARNIX_LINK_LIST_FONT=1 the list's face (the skin's Arial) is linked too, as on a system with
# East Asian fonts; the demo does that in a prefix of its own, because a linked Arial draws
# smoothed text that the pixel checks of the list do not expect.
#
# A prefix made before the 32-bit loader was installed has no 32-bit system DLLs (the loader
# then fails with "could not load kernel32.dll, status c0000135"): such a prefix is made anew.
# Whether 32-bit programs run here at all is decided once, by starting the loader, and kept
# beside the prefix: on a kernel that cannot start them ("Exec format error") syswow64 stays
# empty, and judging by the files would make the prefix anew at every call.
runs_32bit() {
  [ -x /usr/lib/wine/wine ] || return 1
  local mark="$WINEPREFIX.runs-32bit"
  if [ ! -f "$mark" ]; then
    mkdir -p "$(dirname "$mark")"
    if "$(dirname "$0")/can-run-32bit.sh" >/dev/null 2>&1; then echo yes; else echo no; fi >"$mark.$$"
    mv -f "$mark.$$" "$mark"
  fi
  [ "$(cat "$mark")" = yes ]
}
has_32bit_dlls() {
  runs_32bit || return 0
  [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]
}
list_font_wanted() { [ "${TARNIX_LINK_LIST_FONT:-0}" = 1 ]; }
prefix_ready() {
  [ -f "$WINEPREFIX/.tarnix-ready" ] && [ -f "$WINEPREFIX/.tarnix-fontlink" ] || return 1
  if list_font_wanted; then [ -f "$WINEPREFIX/.tarnix-fontlink-list" ] || return 1; fi
  has_32bit_dlls
}
link_faces() {
  for face in "$@"; do
    "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
      /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
  done
}
if ! prefix_ready; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if ! prefix_ready; then
      if [ -d "$WINEPREFIX" ] && ! has_32bit_dlls; then
        echo "wine-run: $WINEPREFIX lacks the 32-bit system DLLs; making it anew" >&2
        WINEPREFIX=$WINEPREFIX "${WINESERVER:-/usr/lib/wine/wineserver}" -k 2>/dev/null || true
        rm -rf "$WINEPREFIX"
      fi
      fresh=0
      [ -f "$WINEPREFIX/.tarnix-ready" ] || fresh=1
      if [ $fresh = 1 ]; then
        "$WINE64" wineboot -i >/dev/null 2>&1 || true
        "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
        "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
      fi
      [ -f "$WINEPREFIX/.tarnix-fontlink" ] || link_faces Tahoma 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif'
      if list_font_wanted && [ ! -f "$WINEPREFIX/.tarnix-fontlink-list" ]; then link_faces Arial; fi
      # A new prefix's registry reaches the disk when its server ends; the tests start after that.
      [ $fresh = 0 ] || "${WINESERVER:-/usr/lib/wine/wineserver}" -w 2>/dev/null || true
      touch "$WINEPREFIX/.tarnix-ready" "$WINEPREFIX/.tarnix-fontlink"
      if list_font_wanted; then touch "$WINEPREFIX/.tarnix-fontlink-list"; fi
    fi
  ) 9>"$WINEPREFIX.lock"
fi

# --prepare: only the set-up, so that a test run starts with the prefix complete.
[ "${1:-}" = --prepare ] && exit 0

# Keep the virtual desktop alive for the whole display session: otherwise it is torn down when
# one test process ends, and a process starting at that moment fails to create its windows.
keeper="$WINEPREFIX/.tarnix-desktop"
(
  flock 9
  if ! { [ -f "$keeper" ] && read -r pid display <"$keeper" && [ "$display" = "$DISPLAY" ] &&
         kill -0 "$pid" 2>/dev/null; }; then
    setsid "$WINE64" explorer /desktop=Default,1024x768 >/dev/null 2>&1 </dev/null 9>&- &
    echo "$! $DISPLAY" >"$keeper"
    sleep 1
  fi
) 9>"$WINEPREFIX.desktop.lock"

exec "$WINE" "$@"
