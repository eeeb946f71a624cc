#!/usr/bin/env bash
# Judges a soak's table ("minute VmRSS threads fds handles" per line): a
# figure keeps growing when, over the samples after the warm-up, its
# least-squares slope exceeds the figure's threshold per hour AND its last
# sample lies above every sample of the first half of that period (so a
# single step early on, or noise around a level, does not count). Prints the
# growth per hour of each figure; exits 1 when one keeps growing.
# Usage: soak-judge.sh TABLE WARMUP_MINUTES
set -euo pipefail
table=$1
warmup=${2:-1}
awk -v warmup="$warmup" '
BEGIN {
  # Thresholds per hour: what a steady leak of one object a minute, or a few
  # kilobytes a minute, would exceed.
  name[2] = "VmRSS kB";  limit[2] = 16384
  name[3] = "threads";   limit[3] = 6
  name[4] = "fds";       limit[4] = 12
  name[5] = "handles";   limit[5] = 30
}
$1 >= warmup { n++; for (f = 1; f <= 5; f++) v[n, f] = $f }
END {
  if (n < 3) {
    printf "too few samples after a warm-up of %d minutes to judge (%d; at least 3)\n", warmup, n
    exit 1
  }
  failed = 0
  printf "growth per hour over minutes %d to %d (warm-up %d minutes):\n", v[1, 1], v[n, 1], warmup
  for (f = 2; f <= 5; f++) {
    if (f == 5) {
      known = 0
      for (i = 1; i <= n; i++) if (v[i, 5] > 0) known = 1
      if (!known) { printf "  %-9s not available\n", name[f]; continue }
    }
    sx = sy = sxx = sxy = 0
    for (i = 1; i <= n; i++) { x = v[i, 1]; y = v[i, f]; sx += x; sy += y; sxx += x * x; sxy += x * y }
    slope = (n * sxy - sx * sy) / (n * sxx - sx * sx) * 60
    firstHalfMax = v[1, f]
    for (i = 1; i <= int(n / 2); i++) if (v[i, f] > firstHalfMax) firstHalfMax = v[i, f]
    grows = slope > limit[f] && v[n, f] > firstHalfMax
    printf "  %-9s %+10.1f per hour (limit %d)%s\n", name[f], slope, limit[f], grows ? "  KEEPS GROWING" : ""
    if (grows) failed = 1
  }
  print failed ? "soak failed: a figure keeps growing" : "soak passed: every figure stays flat"
  exit failed
}' "$table"
