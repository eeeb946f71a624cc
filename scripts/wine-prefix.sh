#!/usr/bin/env bash
# Creates a private Wine prefix once: booted, with the null graphics driver so
# that windows, dialogs and message boxes exist without a display.
# Usage: wine-prefix.sh <prefix folder>
set -e
prefix=$1
[ -n "$prefix" ] || { echo "usage: $0 PREFIX" >&2; exit 2; }
[ -f "$prefix/.ready" ] && exit 0
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.ready" ] && exit 0
export WINEPREFIX=$prefix
. "$here/wine-env.sh"
if can_run_32bit; then loader=wine; else export WINELOADER=/usr/lib/wine/wine64; loader=/usr/lib/wine/wine64; fi
"$loader" wineboot -i >/dev/null 2>&1 || true
"$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.ready"
