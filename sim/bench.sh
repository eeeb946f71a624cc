#!/usr/bin/env bash
# The driver worker's cost, measured under Wine with the stand-ins:
# CPU time of the idle driver over 10 s (target: under 2 % of one core), and
# the time from a record written into the shared block to the injected event
# seen by the mouse recorder, with the worker's cycle length, over 1,000
# records (target: p99 under 5 ms); then the same while a board check asks
# the driver for its status twice a second, with each request's round trip.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cd "$root"
. scripts/wine-env.sh
decide_32bit

preset=$(runnable_preset)
build="build/$preset"
targets=(Brelvin LINK ZorvikSrv SimDrawingApp SimMouseRecorder SimMainTool SimDriverBench)
build_targets "$preset" bench "${targets[@]}" || exit 1

export WINEPREFIX="$root/$build/wineprefix"
scripts/wine-prefix.sh "$WINEPREFIX"
wineserver -p 2>/dev/null || true  # a server of this prefix may already run
trap 'wineserver -k 2>/dev/null || true' EXIT
bench="$build/bin/SimDriverBench.exe"

# CPU ticks (user + system) of the Linux process that runs the idle driver.
driver_ticks() {
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}

echo "driver idle (no touches), 10 s:"
out=$(mktemp)
scripts/wine-run.sh "$bench" idle 12 >"$out" 2>&1 &
runner=$!
for _ in $(seq 600); do grep -q '^ready' "$out" && break; sleep 0.1; done
grep -q '^ready' "$out" || { cat "$out"; wait "$runner"; exit 1; }
# The idle driver is the Wine process whose command line names it in the bench's scratch folder.
pid=$(grep -l 'bench-idle.*Brelvin\.exe' /proc/[0-9]*/cmdline 2>/dev/null | head -1 | cut -d/ -f3)
if [ -n "$pid" ]; then
  hz=$(getconf CLK_TCK)
  before=$(driver_ticks "$pid"); sleep 10; after=$(driver_ticks "$pid")
  awk -v t=$((after - before)) -v hz="$hz" 'BEGIN { printf "  CPU %.2f %% of one core (%d ticks in 10 s; target under 2 %%)\n", 100 * t / hz / 10, t }'
else
  echo "  the driver's process was not found"
fi
wait "$runner" || true
rm -f "$out"

echo "latency and cycle, 1,000 records:"
scripts/wine-run.sh "$bench" latency 2>&1 | tr -d '\r' | sed 's/^/  /'
echo "  (target: p99 of record -> event under 5 ms; cycle 2 ms)"

echo "the same while a board check asks the driver twice a second:"
scripts/wine-run.sh "$bench" watched 2>&1 | tr -d '\r' | sed 's/^/  /'
