#!/usr/bin/env bash
# Replays a recording that the board check had the driver make (a
# "Recording-<date>-<time>.script" from a school's
# %LOCALAPPDATA%\CvSoftware\Drivers\) against the real driver under Wine with
# the stand-ins, with the options that were in force (whether a policy, the
# program folder's copy or the file set them), the board keys, TUIO (to this
# machine) and the routing of contacts it carries, and prints what reached
# the desktop, as `make run` does for the recorded board session, with a line
# for each thing the replay cannot do as the classroom did. The strokes go to
# build/<preset>/replay/strokes.svg.
# Usage: scripts/replay.sh RECORDING   (or: make replay RECORDING=...)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
recording=${1:?usage: $0 RECORDING}
[ -f "$recording" ] || { echo "replay: no such file: $recording" >&2; exit 2; }
recording=$(cd "$(dirname "$recording")" && pwd)/$(basename "$recording")
cd "$root"
. "$here/wine-env.sh"
decide_32bit

preset=$(runnable_preset)
build="build/$preset"
run="$build/replay"
prepare_rig "$preset" replay SimRunSession || exit 1
cp "$recording" "$run/recording.script"

export WINEPREFIX="$root/$build/wineprefix"
"$here/wine-prefix.sh" "$WINEPREFIX"
wineserver -p 2>/dev/null || true  # a server of this prefix may already run
trap 'wineserver -k 2>/dev/null || true' EXIT
echo "replaying $(basename "$recording") against the driver under Wine..."
status=0
"$here/wine-run.sh" "$run/SimRunSession.exe" replay | tr -d '\r' | tee "$run/runner.out" || status=$?
[ "$status" -eq 0 ] || exit "$status"
if ! grep -q '^presses: ' "$run/runner.out"; then
  echo "make replay failed: no replay ran (the driver or its stand-ins did not start under Wine; see $run/runner.out)" >&2
  exit 1
fi
echo "picture of the strokes: $run/strokes.svg"
