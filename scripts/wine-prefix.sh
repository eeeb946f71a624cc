#!/usr/bin/env bash
# Creates a private Wine prefix once: booted, with the null graphics driver so
# that windows, dialogs and message boxes exist without a display.
# Given a second prefix that is ready, the new one is made as its copy, in a
# fraction of a boot's time: Wine's own files under drive_c/windows are hard
# links (nothing writes to them), the registry and the users' files copies.
# Usage: wine-prefix.sh <prefix folder> [<ready prefix to copy>]
set -e
prefix=$1
template=${2:-}
[ -n "$prefix" ] || { echo "usage: $0 PREFIX [READY_PREFIX]" >&2; exit 2; }
[ -f "$prefix/.ready" ] && exit 0
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
[ -f "$prefix/.ready" ] && exit 0
. "$here/wine-env.sh"
if [ -n "$template" ] && [ -f "$template/.ready" ]; then
  rm -rf "$prefix"
  mkdir -p "$prefix/drive_c"
  for entry in "$template"/* "$template"/.[!.]*; do
    case $(basename "$entry") in
      drive_c | .ready) ;;
      *) cp -a "$entry" "$prefix/" ;;
    esac
  done
  for entry in "$template"/drive_c/*; do
    if [ "$(basename "$entry")" = windows ]; then cp -al "$entry" "$prefix/drive_c/"; else cp -a "$entry" "$prefix/drive_c/"; fi
  done
  touch "$prefix/.ready"
  exit 0
fi
export WINEPREFIX=$prefix
if can_run_32bit; then loader=wine; else export WINELOADER=/usr/lib/wine/wine64; loader=/usr/lib/wine/wine64; fi
"$loader" wineboot -i >/dev/null 2>&1 || true
"$loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.ready"
