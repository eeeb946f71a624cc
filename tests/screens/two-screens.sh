#!/usr/bin/env bash
# Runs a scenario program under Wine's X11 driver on an X server of two
# screens of its own, in a prefix of its own beside the program's build.
# Never a developer's display: each X server picks a free display number.
#
# With Xephyr (nested in a headless Xvfb) the two screens stand side by side,
# 1024 x 768 at 0,0 and 1280 x 800 at 1024,0, and Wine sees both with their
# places. Without it, Xvfb alone with Xinerama puts both at the origin: the
# sizes differ, the places do not. RandR stays off: with it Wine sees one
# monitor.
#   two-screens.sh <scenario program> [its arguments, such as --gtest_filter=...]
# Exit code 77 (skipped) when Xvfb is not installed.
set -u
program=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"
command -v Xvfb >/dev/null || { echo "SKIPPED: Xvfb is not installed (Debian: xvfb); no X server for two screens"; exit 77; }

dir=$(cd "$(dirname "$program")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
prefix="$dir/x11-screens-prefix"
servers=()
files=()
export WINEPREFIX=$prefix
trap 'wineserver -k 2>/dev/null; [ ${#servers[@]} -eq 0 ] || kill "${servers[@]}" 2>/dev/null; wait 2>/dev/null; rm -f "${files[@]}"' EXIT

# Starts an X server (its arguments follow); its display goes to $started.
started=
start_x() {
  local file
  file=$(mktemp /tmp/brelvin-x.XXXXXX)
  files+=("$file")
  "$@" -displayfd 3 -nolisten tcp 3>"$file" >/dev/null 2>&1 &
  servers+=($!)
  for _ in $(seq 100); do [ -s "$file" ] && break; sleep 0.1; done
  [ -s "$file" ] || return 1
  started=":$(cat "$file")"
}

if command -v Xephyr >/dev/null; then
  start_x Xvfb -screen 0 2400x900x24 || { echo "Xvfb did not start"; exit 1; }
  host=$started
  DISPLAY=$host start_x Xephyr +xinerama -extension RANDR -screen 1024x768+0+0 -screen 1280x800+1024+0 ||
    { echo "Xephyr did not start"; exit 1; }
  display=$started
  echo "two screens side by side (Xephyr on $host): $display"
else
  start_x Xvfb +xinerama -extension RANDR -screen 0 1024x768x24 -screen 1 1280x800x24 ||
    { echo "Xvfb did not start"; exit 1; }
  display=$started
  echo "two screens, both at the origin (Xvfb; Xephyr, Debian xserver-xephyr, would place them side by side): $display"
fi

loader=$(wine_loader_for "$program")
export DISPLAY=$display
if [ ! -f "$prefix/.ready" ]; then
  "$loader" wineboot -i >/dev/null 2>&1 || true
  "$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f >/dev/null 2>&1
  # No window manager: Wine draws frames itself.
  "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.ready"
fi
wineserver -p
warm_wine "$(basename "$dir")"
"$loader" "$program" "$@"
