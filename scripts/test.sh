#!/usr/bin/env bash
# Builds every preset and runs every test: the portable core natively with
# sanitizers, short fuzzing runs, and the Windows code under Wine. The last
# line counts all tests that passed and failed.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cd "$root"
. "$here/wine-env.sh"
jobs=$(nproc)
passed=0
failed=0
problems=()
notes=()

# Adds the counts of one ctest log to the totals.
count_ctest() {
  local log=$1 line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -z "$line" ]; then
    problems+=("$2: ctest ran no tests")
    failed=$((failed + 1))
    return
  fi
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ "$bad" -eq 0 ] || problems+=("$2: $bad failed")
}

# Each tier's time, printed as it ends and again in the summary.
timings=()
tier_name=
tier_start=$SECONDS
run_start=$SECONDS
end_tier() {
  [ -n "$tier_name" ] || return 0
  local took=$((SECONDS - tier_start))
  echo "--- $tier_name: ${took} s"
  timings+=("$(printf '%5d s  %s' "$took" "$tier_name")")
  tier_name=
}
step() {
  end_tier
  echo; echo "=== $*"
  tier_name=$*
  tier_start=$SECONDS
}

build() { # preset
  cmake --preset "$1" >"build/$1-configure.log" 2>&1 &&
    cmake --build --preset "$1" -j "$jobs" >"build/$1-build.log" 2>&1 || {
      tail -40 "build/$1-configure.log" "build/$1-build.log" 2>/dev/null
      problems+=("$1: build failed (build/$1-build.log)")
      failed=$((failed + 1))
      return 1
    }
}

mkdir -p build

step "native build and unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
if build native; then
  ctest --preset native -j "$jobs" 2>&1 | tee build/native-test.log | grep -E 'tests passed|Failed|\*\*\*' || true
  count_ctest build/native-test.log native
fi

step "ThreadSanitizer over the parts two threads share"
if cmake --preset tsan >build/tsan-configure.log 2>&1 &&
    cmake --build --preset tsan -j "$jobs" --target driver_core_tests >build/tsan-build.log 2>&1; then
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --preset tsan -j "$jobs" 2>&1 |
    tee build/tsan-test.log | grep -E 'tests passed|Failed|\*\*\*' || true
  count_ctest build/tsan-test.log tsan
else
  tail -40 build/tsan-configure.log build/tsan-build.log
  problems+=("tsan: build failed (build/tsan-build.log)")
  failed=$((failed + 1))
fi

step "fuzzing (bounded runs)"
if build fuzz; then
  for fuzzer in build/fuzz/fuzz/*_fuzzer; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    corpus="build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds="fuzz/seeds/${name%_fuzzer}"
    [ -d "$seeds" ] || seeds=
    if "$fuzzer" -max_total_time="${FUZZ_SECONDS:-20}" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="build/fuzz/$name-" "$corpus" $seeds >"build/fuzz/$name.log" 2>&1; then
      echo "$name: $(grep -Eo 'Done [0-9]+ runs' "build/fuzz/$name.log" | tail -1), no failures"
      passed=$((passed + 1))
    else
      tail -30 "build/fuzz/$name.log"
      problems+=("$name found a failure (build/fuzz/$name.log)")
      failed=$((failed + 1))
    fi
  done
fi

step "Windows build (32-bit, the shipping programs)"
build windows
winbuild=windows
if ! can_run_32bit; then
  step "this machine cannot execute 32-bit code: Windows tests run on the 64-bit build"
  build wine64 && winbuild=wine64 || winbuild=
fi

if [ -n "$winbuild" ]; then
  step "Windows tests under Wine ($winbuild)"
  export WINEPREFIX="$root/build/$winbuild/wineprefix"
  "$here/wine-prefix.sh" "$WINEPREFIX"
  wineserver -p   # one server for the whole run keeps each program start fast
  warm_wine "$winbuild"
  ctest --preset "$winbuild" -j "$jobs" 2>&1 | tee "build/$winbuild-test.log" | grep -E 'tests passed|Failed|\*\*\*' || true
  # A Wine test process has ended with a segmentation fault under the load
  # of a full run and passed alone. Tests that failed get one more run
  # alone; what passes then is named below, never hidden, and what fails
  # again fails the run with its whole output.
  if grep -qE 'tests passed, [1-9][0-9]* tests? failed' "build/$winbuild-test.log"; then
    echo "--- once more, alone: the tests that failed"
    ctest --preset "$winbuild" --rerun-failed --output-on-failure 2>&1 | tee "build/$winbuild-rerun.log" |
      grep -E 'tests passed|Failed|\*\*\*' || true
    for t in $(grep -E 'Test +#[0-9]+: .*(Passed|\*\*\*Skipped)' "build/$winbuild-rerun.log" | sed -E 's/.*Test +#[0-9]+: ([^ ]+) .*/\1/'); do
      notes+=("$winbuild: $t failed in the full run and passed alone (see build/$winbuild-test.log)")
    done
    count_ctest "build/$winbuild-rerun.log" "$winbuild (second run)"
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "build/$winbuild-test.log" | tail -1)
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + total - bad))
  else
    count_ctest "build/$winbuild-test.log" "$winbuild"
  fi
  wineserver -k 2>/dev/null || true
fi

end_tier
echo
echo "Time per tier:"
for t in "${timings[@]}"; do echo "$t"; done
echo "$(printf '%5d s  %s' $((SECONDS - run_start)) 'in all')"
echo
for n in "${notes[@]}"; do echo "note: $n"; done
for p in "${problems[@]}"; do echo "problem: $p"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
