# Sourced by every module's screenshots.sh: the staging the scripts share, a
# Wine prefix with the X11 driver on a private Xvfb display, and captures of
# dialogs by caption.
# Needs: $root (the source tree); $build (the wine64 build folder), which
# screenshots_begin sets.

# The start of every screenshot script: $out the output folder (made, and
# absolute), $build the 64-bit build with these targets built, and $stage an
# empty folder of the module's own in it.
# Usage: screenshots_begin <output folder> <module> <target>...
screenshots_begin() {
  out=${1:?usage: $0 OUTPUT_FOLDER}
  local module=${2:?a module name}
  shift 2
  mkdir -p "$out"
  out=$(cd "$out" && pwd)
  build=${SCREENSHOTS_BUILD:-$root/build/screenshots-wine64}  # the 64-bit build the programs run from
  (cd "$root" && cmake --preset wine64 -B "$build" >/dev/null && cmake --build "$build" -j2 --target "$@" >/dev/null)
  stage="$build/$module-screenshots"
  rm -rf "$stage"
  mkdir -p "$stage"
}

x11_session_start() {
  export WINEPREFIX="$build/x11-prefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINELOADER=/usr/lib/wine/wine64
  wine=/usr/lib/wine/wine64
  local display_file="$build/xvfb-tools.display"
  rm -f "$display_file"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" 2>/dev/null &
  xvfb=$!
  trap x11_session_stop EXIT
  for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$display_file")"
  [ -f "$WINEPREFIX/system.reg" ] || { "$wine" wineboot -i >/dev/null 2>&1 || true; wineserver -w; }
  # Without a window manager on the display, Wine draws the frames and
  # captions itself only for windows it does not hand to one.
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
}

x11_session_stop() {
  wineserver -k 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
}

# X window id of the top-level window with this caption, waiting up to 20 s.
x11_window() {
  local caption=$1 id=
  for _ in $(seq 200); do
    id=$(xwininfo -root -tree 2>/dev/null | awk -v name="\"$caption\"" 'index($0, name) {print $1; exit}')
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# Captures the screen area of a window, grown by extra pixels downwards
# (for a list dropped below it).
x11_capture() {
  local id=$1 file=$2 extra=${3:-0}
  local x y w h
  x=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}')
  y=$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $4}')
  w=$(xwininfo -id "$id" | awk '/Width:/ {print $2}')
  h=$(xwininfo -id "$id" | awk '/Height:/ {print $2}')
  import -window root -crop "${w}x$((h + extra))+${x}+${y}" +repage "$file"
}
