#!/usr/bin/env bash
# A picture of Tilmaro under Xvfb with Wine's X11 driver.
# Usage: launcher/screenshots.sh <output folder>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/sim/tools/x11-session.sh"
screenshots_begin "${1:-}" launcher Tilmaro SimDialogPoke

cp "$build/launcher/win32/Tilmaro.exe" "$stage/"
printf '%s\r\n' '[CamvitoOrient]' 'IDS_TOTEL=Board calibration' \
  'IDS_CAP=Calibrate the board so that touches land under the pen. Change the camera settings first if the picture is poor.' \
  'IDS_BTNSET=Camera settings' 'IDS_BTNORIENT=Calibrate' 'IDS_BTNCANCEL=Close' > "$stage/Language.ini"

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
