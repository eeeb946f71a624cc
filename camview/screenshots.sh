#!/usr/bin/env bash
# Pictures of Camvito's live view over the fake camera's picture, unturned
# and turned, under Xvfb with Wine's X11 driver in a prefix of its own.
# Usage: camview/screenshots.sh <output folder>
set -euo pipefail
out=${1:?usage: $0 OUTPUT_FOLDER}
mkdir -p "$out"
out=$(cd "$out" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SCREENSHOTS_BUILD:-$root/build/screenshots-wine64}  # the 64-bit build the dialogs run from

cmake --preset wine64 -B "$build" >/dev/null
cmake --build "$build" -j2 --target Camvito FakeCamera FakeCameraReg SimDialogPoke >/dev/null

stage="$build/camview-screenshots"
mkdir -p "$stage"
cp "$build/camview/win32/Camvito.exe" "$stage/"
printf '%s\r\n' '[String]' 'IDS_MSBCAP=Camvito' 'IDS_SERRUNNING=Camvito is already running.' \
  'IDS_CONNECTCAP=Camera' '[Camvito]' 'IDS_CAMVITONOINIT=No board camera is connected.' \
  'IDS_CAMVITOCAP=Turn the camera until the board lies inside the red frame.' 'IDS_CAMVITOSET=Brightness:' \
  'IDS_TOTEL=Camvito' 'IDS_BTNIMAGE=Turn picture' 'IDS_BTNCANCEL=Close' > "$stage/Language.ini"

# A prefix with the ordinary X11 driver, apart from the tests' null-driver one.
export WINEPREFIX="$build/x11-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINELOADER=/usr/lib/wine/wine64
wine=/usr/lib/wine/wine64

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$build/xvfb.display" 2>/dev/null &
xvfb=$!
camvito=
cleanup() {
  [ -n "$camvito" ] && kill "$camvito" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$build/xvfb.display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$build/xvfb.display")"

[ -f "$WINEPREFIX/system.reg" ] || { "$wine" wineboot -i >/dev/null 2>&1 || true; wineserver -w; }
"$wine" "$build/sim/camera/FakeCameraReg.exe" "Z:${build//\//\\}\\sim\\camera\\FakeCamera.dll" 2

"$wine" "$stage/Camvito.exe" >/dev/null 2>&1 &
camvito=$!

window_id() { xwininfo -root -tree 2>/dev/null | awk '/"Camvito"/ {print $1; exit}'; }
for _ in $(seq 200); do [ -n "$(window_id)" ] && break; sleep 0.1; done
id=$(window_id)
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
