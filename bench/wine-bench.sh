#!/usr/bin/env bash
# Runs the Windows timing program under Wine, from the build whose programs
# this machine runs: the calibration mapping through polygon regions against
# the integer cell test.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cd "$root"
. scripts/wine-env.sh
decide_32bit
preset=$(runnable_preset)
build="build/$preset"
build_targets "$preset" bench calibration_region_timing || exit 1
export WINEPREFIX="$root/$build/wineprefix"
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
status=0
"$root/scripts/wine-run.sh" "$build/bench/calibration_region_timing.exe" | tr -d '\r' || status=$?
wineserver -k 2>/dev/null || true
exit $status
