#!/usr/bin/env bash
# Runs a scenario program under Wine's X11 driver on an X server of its own
# with two screens (Xvfb with Xinerama; RandR off, or Wine sees one monitor),
# in a prefix of its own beside the program's build. Never a developer's
# display: Xvfb picks a free display number.
#   two-screens.sh <scenario program>
# Exit code 77 (skipped) when Xvfb is not installed.
set -u
program=$1
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"
command -v Xvfb >/dev/null || { echo "SKIPPED: Xvfb is not installed (Debian: xvfb); no X server for two screens"; exit 77; }

dir=$(cd "$(dirname "$program")" && pwd)
while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
prefix="$dir/x11-screens-prefix"
display_file=$(mktemp /tmp/brelvin-xvfb.XXXXXX)
Xvfb -displayfd 3 +xinerama -extension RANDR -screen 0 1024x768x24 -screen 1 1280x800x24 -nolisten tcp \
  3>"$display_file" 2>/dev/null &
xvfb=$!
export WINEPREFIX=$prefix
trap 'wineserver -k 2>/dev/null; kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null; rm -f "$display_file"' EXIT
for _ in $(seq 100); do [ -s "$display_file" ] && break; sleep 0.1; done
[ -s "$display_file" ] || { echo "Xvfb did not start"; exit 1; }
display=":$(cat "$display_file")"

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
"$loader" "$program"
