#!/usr/bin/env bash
# Judges a soak's table ("minute VmRSS threads fds handles" per line, "-" for
# a figure that could not be read). The samples after the warm-up are cut
# into two halves; a figure keeps growing when its least-squares slope in
# both halves exceeds the figure's limit per hour. A leak grows all along;
# an allocation made once (a step) grows in one half only, and noise around
# a level in neither. Every figure of every row must have been read: a
# figure that cannot be read could hide a leak. Prints the growth per hour of
# each figure; exits 1 when one keeps growing or cannot be judged.
# Usage: soak-judge.sh TABLE WARMUP_MINUTES
set -euo pipefail
table=$1
warmup=${2:-1}
awk -v warmup="$warmup" '
BEGIN {
  # Limits per hour. VmRSS: 2 MB an hour, 120 times the growth of a healthy
  # 30-minute soak after its warm-up (+17 kB an hour) and above what the
  # driver still settles in its second minute (24 kB, 1.4 MB an hour), which
  # a short soak judges; a leak of 100 kB a minute is 3 times over it. The
  # counts: one object every 10, 5 or 2 minutes.
  name[2] = "VmRSS kB";  limit[2] = 2048
  name[3] = "threads";   limit[3] = 6
  name[4] = "fds";       limit[4] = 12
  name[5] = "handles";   limit[5] = 30
  unreadable = 0
}
function slope(f, from, to,    i, x, y, k, sx, sy, sxx, sxy) {
  k = to - from + 1
  for (i = from; i <= to; i++) { x = v[i, 1]; y = v[i, f]; sx += x; sy += y; sxx += x * x; sxy += x * y }
  return (k * sxy - sx * sy) / (k * sxx - sx * sx) * 60
}
{
  for (f = 2; f <= 5; f++) {
    if ($f !~ /^[0-9]+$/ || $f == 0) {
      printf "minute %s: %s could not be read (%s)\n", $1, name[f], $f == "" ? "missing" : $f
      unreadable = 1
    }
  }
}
$1 >= warmup { n++; for (f = 1; f <= 5; f++) v[n, f] = $f }
END {
  if (unreadable) { print "soak failed: a figure could not be read"; exit 1 }
  if (n < 3) {
    printf "too few samples after a warm-up of %d minutes to judge (%d; at least 3)\n", warmup, n
    exit 1
  }
  # The halves share their middle sample when the count is odd.
  firstEnd = int((n + 1) / 2)
  secondStart = int(n / 2) + 1
  failed = 0
  printf "growth per hour over minutes %d to %d (warm-up %d minutes), whole and by halves:\n", v[1, 1], v[n, 1], warmup
  for (f = 2; f <= 5; f++) {
    first = slope(f, 1, firstEnd)
    second = slope(f, secondStart, n)
    grows = first > limit[f] && second > limit[f]
    printf "  %-9s %+10.1f  (%+.1f, %+.1f; limit %d)%s\n", name[f], slope(f, 1, n), first, second, limit[f],
      grows ? "  KEEPS GROWING" : ""
    if (grows) failed = 1
  }
  print failed ? "soak failed: a figure keeps growing" : "soak passed: every figure stays flat"
  exit failed
}' "$table"
