#!/usr/bin/env bash
# Pictures of Camvito's live view over the fake camera's picture, unturned
# and turned, under Xvfb with Wine's X11 driver in a prefix of its own.
# Usage: camview/screenshots.sh <output folder>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/sim/tools/x11-session.sh"
screenshots_begin "${1:-}" camview Camvito FakeCamera FakeCameraReg SimDialogPoke

cp "$build/camview/win32/Camvito.exe" "$stage/"
printf '%s\r\n' '[String]' 'IDS_MSBCAP=Camvito' 'IDS_SERRUNNING=Camvito is already running.' \
  'IDS_CONNECTCAP=Camera' '[Camvito]' 'IDS_CAMVITONOINIT=No board camera is connected.' \
  'IDS_CAMVITOCAP=Turn the camera until the board lies inside the red frame.' 'IDS_CAMVITOSET=Brightness:' \
  'IDS_TOTEL=Camvito' 'IDS_BTNIMAGE=Turn picture' 'IDS_BTNCANCEL=Close' > "$stage/Language.ini"

x11_session_start
camvito=
stop_camvito() {
  [ -n "$camvito" ] && kill "$camvito" 2>/dev/null || true
  x11_session_stop
}
trap stop_camvito EXIT

"$wine" "$build/sim/camera/FakeCameraReg.exe" "Z:${build//\//\\}\\sim\\camera\\FakeCamera.dll" 2

"$wine" "$stage/Camvito.exe" >/dev/null 2>&1 &
camvito=$!

id=$(x11_window Camvito)
[ -n "$id" ] || { echo "camview: the live view did not open" >&2; exit 1; }

# The picture is drawn every 50 ms once the graph has run for a second.
sleep 3
import -window "$id" "$out/camview-live-view.png"
"$wine" "$build/sim/tools/SimDialogPoke.exe" Camvito click 1002
sleep 1
import -window "$id" "$out/camview-live-view-turned.png"
"$wine" "$build/sim/tools/SimDialogPoke.exe" Camvito click 1003
for _ in $(seq 100); do kill -0 "$camvito" 2>/dev/null || break; sleep 0.1; done
"$wine" "$build/sim/camera/FakeCameraReg.exe" remove || true
echo "camview: wrote camview-live-view.png and camview-live-view-turned.png"
