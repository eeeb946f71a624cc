#!/usr/bin/env bash
# Reads what ctest printed (with --output-on-failure) and says how each test
# ended, for scripts/test.sh.
#
#   ctest-tally.sh retries LOG
#     The tests to run once more, alone: those that failed a check, that is
#     whose program ran to its end and reported the failure. A test that
#     crashed, timed out or did not run is a failure without a second run.
#     When more than three failed a check, none is named: so many failures
#     are a broken run, not bad luck, and the run fails.
#
#   ctest-tally.sh count TIER REGISTERED LOG [RETRY_LOG]
#     Counts the run of LOG: "note: ..." and "problem: ..." lines, then
#     "PASSED FAILED SKIPPED". A test that failed a check counts as passed
#     only when RETRY_LOG shows its second run passed (a note names it). A
#     run of no tests, or of another number than ctest registered
#     (REGISTERED, from ctest -N), has a problem counted as one more failure.
set -euo pipefail
max_retries=3
mode=$1
shift
if [ "$mode" = retries ]; then
  set -- - 0 "$1"
elif [ "$mode" != count ]; then
  echo "usage: ctest-tally.sh retries LOG | count TIER REGISTERED LOG [RETRY_LOG]" >&2
  exit 2
fi
tier=$1 registered=$2
shift 2
awk -v mode="$mode" -v tier="$tier" -v registered="$registered" -v max_retries="$max_retries" \
  -v first_log="$1" -v retry_log="${2:-}" '
# Outcomes: passed, skipped, failed (a check failed and the program ended
# normally), aborted (it ended before its last line: a crash under Wine
# reads as a plain failure), crashed, timeout, not-run, unknown.
function outcome(rest) {
  if (rest ~ /\*\*\*Timeout/) return "timeout"
  if (rest ~ /Exception/) return "crashed"
  if (rest ~ /\*\*\*Failed/) return "aborted"   # until the output shows its end
  if (rest ~ /Skipped|Disabled/) return "skipped"
  if (rest ~ /Not Run/) return "not-run"
  if (rest ~ /Passed/) return "passed"
  return "unknown"
}
# Reads one ctest log; run 1 is the full run, run 2 the second runs.
function read(file, run,    line, rest, name, current) {
  current = ""
  while ((getline line < file) > 0) {
    sub(/\r$/, "", line)
    if (line ~ /^ *([0-9]+\/[0-9]+ +)?Test +#[0-9]+: /) {
      rest = line
      sub(/^.*Test +#[0-9]+: /, "", rest)
      name = rest
      sub(/ .*/, "", name)
      sub(/^[^ ]* /, "", rest)
      result[run, name] = outcome(rest)
      sub(/^[ .]*/, "", rest)
      sub(/ +[0-9.]+ sec$/, "", rest)
      status[run, name] = rest
      if (run == 1) order[++count] = name
      current = name
    } else if (line ~ /^ *Start +[0-9]+: / || line ~ /tests passed, [0-9]+ tests? failed out of/) {
      current = ""
    } else if (current != "" && result[run, current] == "aborted" &&
               line ~ /^\[==========\] [0-9]+ tests? from [0-9]+ test suites? ran\./) {
      # GoogleTest prints this last: the program was not cut short.
      result[run, current] = "failed"
    }
  }
  close(file)
}
BEGIN {
  read(first_log, 1)
  if (retry_log != "") read(retry_log, 2)
  for (i = 1; i <= count; i++) if (result[1, order[i]] == "failed") retryable[++retries] = order[i]
  if (mode == "retries") {
    if (retries > max_retries) {
      printf "%d tests failed their checks: more than %d is a broken run, none is run again\n", retries, max_retries > "/dev/stderr"
    } else {
      for (i = 1; i <= retries; i++) print retryable[i]
    }
    exit 0
  }
  passed = failed = skipped = 0
  for (i = 1; i <= count; i++) {
    name = order[i]
    first = result[1, name]
    if (first == "passed") { passed++; continue }
    if (first == "skipped") { skipped++; continue }
    failed++
    if (first != "failed") {
      printf "problem: %s: %s %s%s\n", tier, name, status[1, name], first == "aborted" ? ", its program cut short" : ""
    } else if (!((2, name) in result)) {
      printf "problem: %s: %s failed\n", tier, name
    } else if (result[2, name] == "passed") {
      failed--; passed++
      printf "note: %s: %s failed in the full run and passed alone\n", tier, name
    } else {
      printf "problem: %s: %s failed, and again alone (%s)\n", tier, name, status[2, name]
    }
  }
  if (count == 0) {
    printf "problem: %s: ctest ran no tests\n", tier
    failed++
  } else if (count != registered) {
    printf "problem: %s: %d tests ran of the %d registered\n", tier, count, registered
    failed++
  }
  print passed, failed, skipped
}'

