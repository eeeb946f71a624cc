#!/usr/bin/env bash
# Pictures of Sondaro beside the running driver under Xvfb with Wine's X11
# driver, in English and in Simplified Chinese (the shipped Language.ini
# files): the camera service stand-in draws strokes at 60 records a second,
# so the window shows live values and dots.
# Usage: boardcheck/screenshots.sh <output folder>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/sim/tools/x11-session.sh"
screenshots_begin "${1:-}" boardcheck Sondaro Brelvin LINK ZorvikSrv SimDialogPoke

for program in Sondaro.exe Brelvin.exe LINK.dll ZorvikSrv.exe; do cp "$build/bin/$program" "$stage/"; done
cp "$root/sim/sessions/WBInit.ini" "$stage/WBInit.ini"
# Two strokes, over and over, as a camera at 60 frames a second sees them.
printf '%s\n' driver sync 'realtime 60' loop 'down 600 500' 'line 600 500 2600 900 50' 'up 2600 900' \
  'down 900 1900' 'line 900 1900 2300 1500 40' 'up 2300 1500' endloop > "$stage/ZorvikSrv.script"

x11_session_start
poke="$build/sim/tools/SimDialogPoke.exe"
driver=
stop_driver() {
  [ -n "$driver" ] && kill "$driver" 2>/dev/null || true
  x11_session_stop
}
trap stop_driver EXIT

# The driver hides its window; it starts the camera service itself.
"$wine" "$stage/Brelvin.exe" >/dev/null 2>&1 &
driver=$!

# X window id of the check's window (its caption starts with "Sondaro" in
# both languages), waiting up to 20 s.
check_window() {
  local id=
  for _ in $(seq 200); do
    id=$(xwininfo -root -tree 2>/dev/null | awk '/"Sondaro/ {print $1; exit}')
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

shoot() { # <Language.ini> <output name> <caption> [locale]
  cp "$1" "$stage/Language.ini"
  local locale=${4:-C.UTF-8}
  LANG=$locale LC_ALL=$locale "$wine" "$stage/Sondaro.exe" >/dev/null 2>&1 &
  local check=$! id
  id=$(check_window)
  [ -n "$id" ] || { echo "boardcheck: Sondaro did not open" >&2; exit 1; }
  # Let the rate settle (two seconds of answers) and the dots gather.
  sleep 4
  x11_capture "$id" "$out/$2"
  LANG=$locale LC_ALL=$locale "$wine" "$poke" "$3" click 2 || true
  for _ in $(seq 100); do kill -0 "$check" 2>/dev/null || break; sleep 0.1; done
  kill "$check" 2>/dev/null || true
}

shoot "$root/dist/Language.ini" sondaro-board-check.png "Sondaro - Board Check"
shoot "$root/dist/Language.zh-CN.ini" sondaro-board-check-zh.png "Sondaro - 白板检查" zh_CN.UTF-8
echo "boardcheck: wrote sondaro-board-check.png and sondaro-board-check-zh.png"
