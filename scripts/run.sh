#!/usr/bin/env bash
# The project's main job on a Linux machine: builds the Windows programs, runs
# the board driver under Wine against the camera service stand-in replaying a
# recorded board session, with the drawing application stand-in listening and
# a recorder of the mouse input that reaches the desktop; then prints what
# arrived and draws the strokes into build/<preset>/run/strokes.svg.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cd "$root"
. "$here/wine-env.sh"
decide_32bit

preset=$(runnable_preset)
build="build/$preset"
run="$build/run"
prepare_rig "$preset" run SimRunSession || exit 1
cp sim/sessions/board-session.script "$run/session.script"
cp sim/sessions/board-session.ini "$run/session.ini"

# The driver's TUIO output switched on for the session (RUN_TUIO=0 leaves it
# off) and read by a real OSC client on a free port.
listener=
if [ "${RUN_TUIO:-1}" != 0 ] && command -v oscdump >/dev/null; then
  port=$(free_udp_port)
  printf '\r\n[Multitouch]\r\nTUIO=1\r\nTUIO_HOST=127.0.0.1\r\nTUIO_PORT=%s\r\n' "$port" >>"$run/session.ini"
  oscdump -L "$port" >"$run/oscdump.log" 2>&1 &
  listener=$!
fi

export WINEPREFIX="$root/$build/wineprefix"
"$here/wine-prefix.sh" "$WINEPREFIX"
wineserver -p 2>/dev/null || true  # a server of this prefix may already run
trap 'wineserver -k 2>/dev/null || true; [ -z "$listener" ] || kill "$listener" 2>/dev/null || true' EXIT
echo "running the driver with the stand-ins under Wine..."
status=0
"$here/wine-run.sh" "$run/SimRunSession.exe" | tr -d '\r' | tee "$run/runner.out" || status=$?
[ "$status" -eq 0 ] || exit "$status"
# No figures of a run that did not happen: the runner prints its summary only
# after a session that played and reached the desktop.
if ! grep -q '^presses: ' "$run/runner.out"; then
  echo "make run failed: no session ran (the driver or its stand-ins did not start under Wine; see $run/runner.out)" >&2
  exit 1
fi
if [ -n "$listener" ]; then
  echo "TUIO (oscdump on port $port): $("$here/oscdump-summary.sh" "$run/oscdump.log")"
fi
echo "picture of the strokes: $run/strokes.svg"
