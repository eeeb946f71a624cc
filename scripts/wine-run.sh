#!/usr/bin/env bash
# Runs a Windows program under Wine in the build tree's private prefix.
# The prefix lives in the build folder that holds the program (the nearest
# folder above it with a CMakeCache.txt); WINEPREFIX set by the caller wins.
# A test that holds one of the run's desktops runs in that desktop's prefix,
# made from the run's own when it is not there yet.
set -e
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
program=$1
if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(cd "$(dirname "$program")" 2>/dev/null && pwd || pwd)
  while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ -f "$dir/CMakeCache.txt" ] || dir=$(pwd)
  export WINEPREFIX="$dir/wineprefix"
fi
run_prefix=$WINEPREFIX
export WINEPREFIX=$(test_prefix "$run_prefix")
"$here/wine-prefix.sh" "$run_prefix" >/dev/null
[ "$WINEPREFIX" = "$run_prefix" ] || "$here/wine-prefix.sh" "$WINEPREFIX" "$run_prefix" >/dev/null
exec "$(wine_loader_for "$program")" "$@"
