#!/usr/bin/env bash
# Pictures of Penvaro under Xvfb with Wine's X11 driver: default mode,
# custom mode with the front list dropped down, and a contact sheet of the
# 22 action pictures.
# Usage: pentool/screenshots.sh <output folder>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/sim/tools/x11-session.sh"
screenshots_begin "${1:-}" pentool Penvaro SimDialogPoke
python3 "$root/pentool/art/draw_pictures.py" "$build/pentool-pictures" --sheet "$out/penvaro-pictures.png"

cp "$build/pentool/win32/Penvaro.exe" "$stage/"
printf '%s\r\n' '[SetPzPan]' 'IDC_TOP=Pen buttons' 'IDOK=OK' 'IDCANCEL=Cancel' \
  'IDC_STATIC=What the pen buttons do' 'IDC_STATIC1=Front button:' 'IDC_STATIC2=Back button:' \
  'IDC_RADIO1=Built-in behaviour' 'IDC_RADIO2=Choose an action for each button' 'IDC_STATIC3=Actions' \
  'IDC_BMP1=New page' 'IDC_BMP2=Save' 'IDC_BMP3=Previous page' 'IDC_BMP4=Next page' 'IDC_BMP5=Mouse' \
  'IDC_BMP6=Pen' 'IDC_BMP7=Eraser' 'IDC_BMP8=Move' 'IDC_BMP9=Zoom' 'IDC_BMP10=Full screen' \
  'IDC_BMP11=Spotlight' > "$stage/Language.ini"

x11_session_start
poke="$build/sim/tools/SimDialogPoke.exe"

shoot() { # <mode flag> <output name> <drop the front list?>
  printf '%s\r\n' '[PENVARO]' "IF_SET_F_NO_T=$1" 'BOX1LASTCHOOSE=2' 'BOX2LASTCHOOSE=9' > "$stage/WBInit.ini"
  "$wine" "$stage/Penvaro.exe" >/dev/null 2>&1 &
  local penvaro=$! id
  id=$(x11_window "Pen buttons")
  [ -n "$id" ] || { echo "pentool: Penvaro did not open" >&2; exit 1; }
  if [ "$3" = yes ]; then
    "$wine" "$poke" "Pen buttons" drop 1008
  fi
  # Let the dialog finish painting.
  sleep 1
  x11_capture "$id" "$out/$2"
  "$wine" "$poke" "Pen buttons" click 2 || true
  for _ in $(seq 100); do kill -0 "$penvaro" 2>/dev/null || break; sleep 0.1; done
}

shoot 1 penvaro-default-mode.png no
shoot 0 penvaro-custom-mode-list-open.png yes
echo "pentool: wrote penvaro-default-mode.png, penvaro-custom-mode-list-open.png and penvaro-pictures.png"
