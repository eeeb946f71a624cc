#!/usr/bin/env bash
# The driver under Wine for SOAK_MINUTES minutes (default 30) with the
# real-time camera stand-in drawing all along and the other programs coming
# and going every minute (a forwarding run, two touch-socket sessions, a
# camera pulled out and plugged in). At the start of every minute it samples
# the driver's resources and prints a row; at the end it fails when a figure
# keeps growing or could not be read (see scripts/soak-judge.sh for the rule).
#
# Figures: the Linux process that runs Brelvin.exe under Wine (VmRSS, threads
# and open descriptors, from /proc) and the handles Wine's server counts for
# the process (its system handle list; GetProcessHandleCount answers 0 under
# Wine). GetGuiResources is a stub under Wine that reads 0, so window and GDI
# objects are not sampled.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cd "$root"
. "$here/wine-env.sh"
decide_32bit

minutes=${SOAK_MINUTES:-30}
preset=$(runnable_preset)
build="build/$preset"
soak="$build/soak"
prepare_rig "$preset" soak SimSoak || exit 1
cp sim/sessions/soak.script "$soak/soak.script"
cp sim/sessions/board-session.ini "$soak/soak.ini"

export WINEPREFIX="$root/$build/wineprefix"
"$here/wine-prefix.sh" "$WINEPREFIX"
wineserver -p 2>/dev/null || true  # a server of this prefix may already run
runner=
cleanup() {
  [ -n "$runner" ] && kill "$runner" 2>/dev/null
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
warm_wine "$preset"

# The Linux process that runs the driver of this soak: its command line names
# Brelvin.exe in a soak's session folder, and it belongs to this prefix.
driver_pid() {
  local p line
  for p in /proc/[0-9]*; do
    line=$(tr '\0' ' ' 2>/dev/null <"$p/cmdline") || continue  # it may have ended
    case "$line" in
      *soak*session*Brelvin.exe*)
        if tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
          echo "${p#/proc/}"
          return
        fi
        ;;
    esac
  done
}

table="$soak/resources.txt"
: >"$table"
out="$soak/runner.out"
: >"$out"
echo "soaking for $minutes minutes..."
# The runner writes into a file, read as it grows until the runner has ended
# or said its last word: never waiting for an end of file that processes
# outside the runner might hold off.
# Bounded all the same: the minutes, then five for starting and ending.
timeout --kill-after=10 $(( minutes * 60 + 300 )) \
  "$here/wine-run.sh" "$soak/SimSoak.exe" "$minutes" /ack </dev/null >"$out" 2>&1 &
runner=$!
printf '%6s %10s %8s %6s %8s\n' minute "VmRSS kB" threads fds handles
status=0
finished=no
while IFS= read -r line; do
  line=${line%$'\r'}
  case "$line" in
    sample\ *)
      read -r _ minute _ handles <<<"$line"
      pid=$(driver_pid)
      if [ -z "$pid" ]; then echo "the driver's process was not found"; status=1; continue; fi
      # A figure that cannot be read is written as "-", which the judge fails.
      rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
      threads=$(awk '/^Threads:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
      fds=$(find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
      [ "$handles" -ge 0 ] 2>/dev/null || handles=
      rss=${rss:--} threads=${threads:--} handles=${handles:--}
      printf '%6s %10s %8s %6s %8s\n' "$minute" "$rss" "$threads" "$fds" "$handles"
      echo "$minute $rss $threads $fds $handles" >>"$table"
      : >"$soak/session/sampled-$minute"  # the runner goes on
      ;;
    minute\ *) echo "  $line" ;;
    soak\ failed*) echo "$line"; status=1; break ;;
    soak\ done*) echo "$line"; finished=yes; break ;;
    *) echo "$line" ;;
  esac
done < <(tail -n +1 -f --pid="$runner" "$out")
wait "$runner" || status=1
runner=
if [ "$finished" = no ] && [ "$status" -eq 0 ]; then
  echo "make soak failed: the soak did not run to its end (the driver or its stand-ins did not start under Wine; see $out)" >&2
  status=1
fi
[ "$status" -eq 0 ] || exit "$status"
"$here/soak-judge.sh" "$table" "${SOAK_WARMUP_MINUTES:-$(( minutes / 6 > 1 ? minutes / 6 : 1 ))}"
