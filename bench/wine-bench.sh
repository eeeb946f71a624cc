#!/usr/bin/env bash
# Builds the Windows timing program (64-bit, so it runs where 32-bit code
# cannot) and runs it under Wine: the calibration mapping through polygon
# regions against the integer cell test.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cd "$root"
build=build/bench-wine64
cmake --preset wine64 -B "$build" >"$build-configure.log" 2>&1 || { cat "$build-configure.log"; exit 1; }
rm -f "$build-configure.log"
cmake --build "$build" -j "$(nproc)" --target calibration_region_timing >/dev/null
export WINEPREFIX="$root/$build/wineprefix"
"$root/scripts/wine-prefix.sh" "$WINEPREFIX"
status=0
"$root/scripts/wine-run.sh" "$build/bench/calibration_region_timing.exe" | tr -d '\r' || status=$?
wineserver -k 2>/dev/null || true
exit $status
