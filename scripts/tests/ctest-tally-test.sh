#!/usr/bin/env bash
# The test run's tally on fixed ctest logs: which tests get a second run and
# how a run counts.
set -u
tally=$(cd "$(dirname "$0")/.." && pwd)/ctest-tally.sh
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

check() { # what expected actual
  if [ "$2" = "$3" ]; then
    echo "ok: $1"
  else
    printf 'FAILED: %s\n  expected: %s\n  got:      %s\n' "$1" "$2" "$3"
    failures=$((failures + 1))
  fi
}

# One line of ctest's progress for test n; a failed check's output.
result() { printf '%d/6 Test #%d: %s ..................%s  0.02 sec\n' "$1" "$1" "$2" "$3"; }
checked_failure() {
  printf '[ RUN      ] %s\nx.cpp:5: Failure\n[  FAILED  ] %s (0 ms)\n' "$1" "$1"
  printf '[==========] 1 test from 1 test suite ran. (0 ms total)\n[  FAILED  ] 1 test, listed below:\n\n'
}

# A full run with every way a test can end; a crash under Wine is a plain
# failure whose program never printed its last line.
{
  result 1 A.Passes '   Passed  '
  result 2 A.FailsACheck '***Failed  '
  checked_failure A.FailsACheck
  echo '    Start 5: A.Hangs'
  result 3 A.CrashesUnderWine '***Failed  '
  printf '[ RUN      ] A.CrashesUnderWine\r\n\n'
  result 4 A.Segfaults '***Exception: SegFault'
  result 5 A.Hangs '***Timeout '
  result 6 A.Skips '***Skipped '
  echo '33% tests passed, 4 tests failed out of 6'
} >"$scratch/full.log"
# Second runs of the failed check: one passes, one is skipped.
result 1 A.FailsACheck '   Passed  ' >"$scratch/passed-alone.log"
result 1 A.FailsACheck '***Skipped ' >"$scratch/skipped-alone.log"
# Four failed checks.
for n in 1 2 3 4; do result "$n" "B.Fails$n" '***Failed  '; checked_failure "B.Fails$n"; done >"$scratch/four.log"

check "only a failed check is run again" A.FailsACheck "$("$tally" retries "$scratch/full.log")"
check "more than three failed checks are none run again" "" "$("$tally" retries "$scratch/four.log" 2>/dev/null)"
check "crashes and time-outs fail, a skip is no pass" "1 4 1" "$("$tally" count w 6 "$scratch/full.log" | tail -1)"
check "a failed check that passes alone passes, named in a note" \
  "note: w: A.FailsACheck failed in the full run and passed alone|2 3 1" \
  "$("$tally" count w 6 "$scratch/full.log" "$scratch/passed-alone.log" | grep -v problem | paste -sd'|')"
check "a second run that is skipped fails" "1 4 1" \
  "$("$tally" count w 6 "$scratch/full.log" "$scratch/skipped-alone.log" | tail -1)"
check "fewer tests run than registered fails" "problem: w: 6 tests ran of the 7 registered|1 5 1" \
  "$("$tally" count w 7 "$scratch/full.log" | tail -2 | paste -sd'|')"
check "a run of no tests fails" "0 1 0" "$("$tally" count w 0 /dev/null | tail -1)"

[ "$failures" -eq 0 ]
