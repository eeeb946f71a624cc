#!/usr/bin/env bash
# Pictures of Kalmeno's calibration screen beside the running driver under
# Xvfb with Wine's X11 driver, in English and in Simplified Chinese (the
# shipped Language.ini files): the first target, and the notice of a touch
# too short to count, which the camera service stand-in taps onto it.
# Usage: calibration/screenshots.sh <output folder>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/sim/tools/x11-session.sh"
screenshots_begin "${1:-}" calibration Kalmeno Brelvin LINK ZorvikSrv

for program in Kalmeno.exe Brelvin.exe LINK.dll ZorvikSrv.exe; do cp "$build/bin/$program" "$stage/"; done
cp "$root/sim/sessions/WBInit.ini" "$stage/WBInit.ini"

x11_session_start
driver=
stop_driver() {
  [ -n "$driver" ] && kill "$driver" 2>/dev/null || true
  x11_session_stop
}
trap stop_driver EXIT

# X window id of Kalmeno's full-screen window, waiting up to 20 s.
calibration_window() {
  local id=
  for _ in $(seq 200); do
    id=$(xwininfo -root -tree 2>/dev/null | awk '/\("kalmeno.exe"/ && !/ 1x1\+/ {print $1; exit}')
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

shoot() { # <Language.ini> <output name> [locale]
  cp "$1" "$stage/Language.ini"
  local locale=${3:-C.UTF-8}
  # The first target of sim/sessions/WBInit.ini's linear calibration lies
  # at camera (48, 36); a tap of two samples is too short to count.
  printf '%s\n' driver sync 'pause 6000' 'down 48 36' 'hold 48 36 2' 'up 48 36' > "$stage/ZorvikSrv.script"
  "$wine" "$stage/Brelvin.exe" >/dev/null 2>&1 &
  driver=$!
  sleep 3
  LANG=$locale LC_ALL=$locale "$wine" "$stage/Kalmeno.exe" >/dev/null 2>&1 &
  local calibration=$! id
  id=$(calibration_window)
  [ -n "$id" ] || { echo "calibration: Kalmeno did not open" >&2; exit 1; }
  # Until the stand-in's tap has come and been refused.
  for _ in $(seq 150); do grep -q "script done" "$stage/ZorvikSrv.log" 2>/dev/null && break; sleep 0.1; done
  sleep 1
  x11_capture "$id" "$out/$2"
  kill "$calibration" "$driver" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  driver=
  rm -f "$stage/ZorvikSrv.log"
}

shoot "$root/dist/Language.ini" kalmeno-target.png
shoot "$root/dist/Language.zh-CN.ini" kalmeno-target-zh.png zh_CN.UTF-8
echo "calibration: wrote kalmeno-target.png and kalmeno-target-zh.png"
