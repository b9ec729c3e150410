#!/usr/bin/env bash
# Checks that every arrow between the source folders points down the floors: a folder's files
# include, and its CMake libraries link, only its own folder and the folders below it. resources/
# (the resource ids) may be included from any floor; nothing in them names a folder. Also
# checks that no product folder names a test library. Prints each wrong arrow; fails on any.
# Usage: tools/check-layers.sh [source root]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

# From the bottom up (README.md, "For developers").
floors=(win32 tracklist import listening skin host listening_playback session accessibility commands plugin)
declare -A level
for i in "${!floors[@]}"; do level[${floors[$i]}]=$i; done

failed=0
wrong() {
  echo "layering: $*" >&2
  failed=1
}

# Include arrows.
for folder in "${floors[@]}"; do
  while IFS=: read -r file line target; do
    [ "$target" = resources ] && continue
    if [ -z "${level[$target]+set}" ]; then
      wrong "$file:$line includes from $target/, which is no floor of the plug-in"
    elif [ "${level[$target]}" -gt "${level[$folder]}" ]; then
      wrong "$file:$line includes from $target/, above $folder/"
    fi
  done < <(grep -n -o '^#include "[a-z_0-9]*/' "$folder"/*.h "$folder"/*.cpp 2>/dev/null |
           sed 's/#include "\(.*\)\/$/\1/')
done

# Link arrows: which folder makes each library, then what each folder's libraries link.
declare -A owner
for folder in "${floors[@]}" resources; do
  [ -f "$folder/CMakeLists.txt" ] || continue
  for library in $(grep -o 'add_library(tarnix_[a-z_0-9]*' "$folder/CMakeLists.txt" | sed 's/add_library(//'); do
    owner[$library]=$folder
  done
done
# CMake functions of the project (tarnix_gtest, tarnix_copy_plugin_beside, ...) are no libraries.
functions=" $(grep -rho 'function(tarnix_[a-z_0-9]*' cmake ./*/CMakeLists.txt | sed 's/function(//' | tr '\n' ' ') "
for folder in "${floors[@]}"; do
  [ -f "$folder/CMakeLists.txt" ] || continue
  # Every library the folder's CMakeLists.txt names: linked, its objects taken, or its own.
  for library in $(grep -v '^ *#' "$folder/CMakeLists.txt" | grep -o 'tarnix_[a-z_0-9]*' | sort -u); do
    [[ "$functions" == *" $library "* ]] && continue
    below=${owner[$library]:-}
    if [ -z "$below" ]; then
      wrong "$folder/CMakeLists.txt names $library, which no floor of the plug-in makes (a test library?)"
    elif [ "$below" != resources ] && [ "${level[$below]}" -gt "${level[$folder]}" ]; then
      wrong "$folder/CMakeLists.txt links $library of $below/, above $folder/"
    fi
  done
done

if [ "$failed" = 0 ]; then
  echo "layering: every include and link arrow points down (${floors[*]})"
fi
exit "$failed"
