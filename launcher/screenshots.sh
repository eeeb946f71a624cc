#!/usr/bin/env bash
# A picture of Tilmaro under Xvfb with Wine's X11 driver.
# Usage: launcher/screenshots.sh <output folder>
set -euo pipefail
out=${1:?usage: $0 OUTPUT_FOLDER}
mkdir -p "$out"
out=$(cd "$out" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SCREENSHOTS_BUILD:-$root/build/screenshots-wine64}  # the 64-bit build the dialogs run from

cmake --preset wine64 -B "$build" >/dev/null
cmake --build "$build" -j2 --target Tilmaro SimDialogPoke >/dev/null

stage="$build/launcher-screenshots"
rm -rf "$stage"
mkdir -p "$stage"
cp "$build/launcher/win32/Tilmaro.exe" "$stage/"
printf '%s\r\n' '[CamvitoOrient]' 'IDS_TOTEL=Board calibration' \
  'IDS_CAP=Calibrate the board so that touches land under the pen. Change the camera settings first if the picture is poor.' \
  'IDS_BTNSET=Camera settings' 'IDS_BTNORIENT=Calibrate' 'IDS_BTNCANCEL=Close' > "$stage/Language.ini"

. "$root/sim/tools/x11-session.sh"
x11_session_start

"$wine" "$stage/Tilmaro.exe" >/dev/null 2>&1 &
tilmaro=$!
id=$(x11_window "Board calibration")
[ -n "$id" ] || { echo "launcher: Tilmaro did not open" >&2; exit 1; }
# Let the dialog finish painting.
sleep 1
x11_capture "$id" "$out/tilmaro.png"
"$wine" "$build/sim/tools/SimDialogPoke.exe" "Board calibration" click 2 || true
for _ in $(seq 100); do kill -0 "$tilmaro" 2>/dev/null || break; sleep 0.1; done
echo "launcher: wrote tilmaro.png"
