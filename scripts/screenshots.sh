#!/usr/bin/env bash
# Runs every module's screenshots.sh (dialogs under Xvfb with Wine's X11
# driver) and lists the PNG files they wrote into build/screenshots.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cd "$root"
out="$root/build/screenshots"
mkdir -p "$out"
for script in */screenshots.sh; do
  [ -f "$script" ] || continue
  [ "$script" != scripts/screenshots.sh ] || continue   # this script itself
  echo "=== $script"
  bash "$script" "$out"
done
ls -1 "$out"/*.png 2>/dev/null || echo "no screenshots were written"
