#!/usr/bin/env bash
# The soak's judge on fixed tables: a healthy driver's table passes, a slow
# leak fails, an allocation made once passes, a figure not read fails.
set -u
judge=$(cd "$(dirname "$0")/.." && pwd)/soak-judge.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# Thirty-one minutes of a driver whose VmRSS (kB) follows the expression of
# the minute m; threads, descriptors and handles stay level.
minutes() {
  local m
  for m in $(seq 0 30); do echo "$m $(($1)) 5 31 60"; done
}

expect() { # verdict name: judges the table on standard input, warm-up 5 minutes
  cat >"$scratch/$2"
  local got=fail
  "$judge" "$scratch/$2" 5 >"$scratch/$2.out" 2>&1 && got=pass
  if [ "$got" = "$1" ]; then
    echo "ok: $2 ($got)"
  else
    echo "FAILED: $2: expected $1, the judge said:"
    cat "$scratch/$2.out"
    failures=$((failures + 1))
  fi
}

# The table of a healthy 30-minute soak of the real driver.
expect pass healthy-driver <<'TABLE'
0 26704 5 31 56
1 28128 5 31 59
5 28172 5 31 59
10 28184 5 31 60
15 28184 5 31 60
20 28184 5 31 60
25 28184 5 31 60
30 28184 5 31 61
TABLE
expect fail leak-of-100kB-a-minute < <(minutes '28184 + 100 * m')
expect pass one-step-of-3MB < <(minutes '28184 + (m >= 14 ? 3072 : 0)')
expect fail handles-not-read < <(minutes 28184 | sed '12s/ 60$/ -/')

[ "$failures" -eq 0 ]
