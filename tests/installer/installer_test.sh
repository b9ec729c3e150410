#!/usr/bin/env bash
# Builds the installer and runs it silently under Wine: it installs the DLL byte for byte into a
# stand-in player folder, its uninstaller removes exactly that and leaves the listener's lists
# and settings, and a folder without Plugins is refused.
set -euo pipefail
makensis=$1 dll=$2 nsi=$3 version=$4
export WINEPREFIX=$5
here=$(cd "$(dirname "$0")" && pwd)
run=(env TARNIX_WINE=/usr/lib/wine/wine "$here/../../tools/wine-run.sh")

fail() { echo "installer test: $*" >&2; exit 1; }

setup=$PWD/gen_tarnix-$version-setup.exe
"$makensis" -V2 -DVERSION="$version" -DDLL="$dll" -DOUTFILE="$setup" "$nsi"

"${run[@]}" cmd /c exit >/dev/null 2>&1 || true  # makes the prefix when it is new
drive=$WINEPREFIX/drive_c
rm -rf "$drive/tarnix-installer"
player=$drive/tarnix-installer/Player
mkdir -p "$player/Plugins" "$player/Bookmarks" "$drive/tarnix-installer/NotAPlayer"
printf '[Album ] Kept\r\n01:00:00:00*Kept\r\n' >"$player/Bookmarks/kept.trk"
printf '[Tarnix Plugin]\r\nAutoSave=1\r\n' >"$player/Plugins/plugin.ini"
before=$(cd "$player" && find . -type f -exec md5sum {} + | sort)

# A folder without Plugins is refused and gets nothing.
status=0
"${run[@]}" "$setup" /S '/D=C:\tarnix-installer\NotAPlayer' || status=$?
[ "$status" -ne 0 ] || fail "installed into a folder without Plugins"
[ -z "$(ls -A "$drive/tarnix-installer/NotAPlayer")" ] || fail "wrote into a folder without Plugins"

"${run[@]}" "$setup" /S '/D=C:\tarnix-installer\Player' || fail "silent install failed ($?)"
cmp "$dll" "$player/Plugins/gen_tarnix.dll" || fail "installed DLL differs from the built one"
uninstaller="$player/Plugins/Uninstall Tarnix Plugin.exe"
[ -f "$uninstaller" ] || fail "no uninstaller"

# The uninstaller copies itself away and returns at once; its copy finishes the work.
"${run[@]}" "C:\\tarnix-installer\\Player\\Plugins\\Uninstall Tarnix Plugin.exe" /S || fail "uninstall failed ($?)"
for _ in $(seq 1 600); do
  [ -e "$player/Plugins/gen_tarnix.dll" ] || [ -e "$uninstaller" ] || break
  sleep 0.1
done
[ ! -e "$player/Plugins/gen_tarnix.dll" ] || fail "DLL left behind"
[ ! -e "$uninstaller" ] || fail "uninstaller left behind"
after=$(cd "$player" && find . -type f -exec md5sum {} + | sort)
[ "$before" = "$after" ] || fail "the listener's files changed: $before // $after"
[ -d "$player/Plugins" ] || fail "Plugins folder removed"

# Without /D the installer proposes the folder the player keeps in its registry key.
"${run[@]}" reg add 'HKCU\Software\Winamp' /ve /d 'C:\tarnix-installer\Player' /f >/dev/null 2>&1
"${run[@]}" "$setup" /S || fail "silent install into the player's registered folder failed ($?)"
cmp "$dll" "$player/Plugins/gen_tarnix.dll" || fail "not installed into the player's registered folder"
"${run[@]}" reg delete 'HKCU\Software\Winamp' /f >/dev/null 2>&1 || true
echo "installer test: install, refusal, uninstall and the registered folder as expected"
