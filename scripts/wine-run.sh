#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's private prefix.
# The prefix lives in the build folder that holds the program (the nearest
# folder above it with a CMakeCache.txt); WINEPREFIX set by the caller wins.
set -e
here=$(cd "$(dirname "$0")" && pwd)
program=$1
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$program")" 2>/dev/null && pwd || pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] || dir=$(pwd)
  export WINEPREFIX="$dir/wineprefix"
fi
"$here/wine-prefix.sh" "$WINEPREFIX" >/dev/null
. "$here/wine-env.sh"
exec "$(wine_loader_for "$program")" "$@"
