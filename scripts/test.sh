#!/usr/bin/env bash
# Builds every preset and runs every test: the portable core natively with
# sanitizers, short fuzzing runs, and the Windows code under Wine. The last
# line counts the tests that passed, failed and were skipped.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cd "$root"
. "$here/wine-env.sh"
decide_32bit
jobs=$(nproc)
passed=0
failed=0
skipped=0
problems=()
notes=()

# Runs one preset's tests and adds them to the totals (scripts/ctest-tally.sh
# has the rules). With "retry", tests that failed a check get one more run
# alone: under the load of a full run, a Wine test has failed once and then
# passed alone, and what passes then is named in a note, never hidden.
run_tests() { # preset, retry|no-retry, [tests at once]
  local preset=$1 log="build/$1-test.log" retry_log= names registered line counts= p f s
  ctest --preset "$preset" -j "${3:-$jobs}" 2>&1 | tee "$log" | grep -E 'tests passed|Failed|\*\*\*' || true
  registered=$(ctest --preset "$preset" -N 2>/dev/null | sed -n 's/^Total Tests: //p')
  if [ "$2" = retry ]; then
    names=$("$here/ctest-tally.sh" retries "$log")
    if [ -n "$names" ]; then
      echo "--- once more, alone: the tests that failed a check"
      retry_log="build/$preset-rerun.log"
      ctest --preset "$preset" -R "^($(sed 's/[][\\.^$*+?(){}|]/\\&/g' <<<"$names" | paste -sd'|'))\$" 2>&1 |
        tee "$retry_log" | grep -E 'tests passed|Failed|\*\*\*' || true
    fi
  fi
  while IFS= read -r line; do
    case "$line" in
      note:\ *) notes+=("${line#note: }") ;;
      problem:\ *) problems+=("${line#problem: }") ;;
      *) counts=$line ;;
    esac
  done < <("$here/ctest-tally.sh" count "$preset" "${registered:-0}" "$log" $retry_log)
  read -r p f s <<<"${counts:-0 1 0}"
  passed=$((passed + p)) failed=$((failed + f)) skipped=$((skipped + s))
}

# Each tier's time, printed as it ends and again in the summary: the wall
# time, and the processor time of the commands it ran (user and system, of
# the processes this script waited for), which other work on a shared
# machine does not stretch.
ticks_per_second=$(getconf CLK_TCK)
cpu_seconds() { # of this script's finished children, so far
  awk -v hz="$ticks_per_second" '{ sub(/^.*\) /, ""); printf "%d", ($14 + $15) / hz }' /proc/$$/stat
}
timings=()
tier_name=
tier_start=$SECONDS
tier_cpu_start=$(cpu_seconds)
run_start=$SECONDS
run_cpu_start=$tier_cpu_start
end_tier() {
  [ -n "$tier_name" ] || return 0
  local took=$((SECONDS - tier_start)) cpu=$(($(cpu_seconds) - tier_cpu_start))
  echo "--- $tier_name: ${took} s (processor ${cpu} s)"
  timings+=("$(printf '%5d s %6d s  %s' "$took" "$cpu" "$tier_name")")
  tier_name=
}
step() {
  end_tier
  echo; echo "=== $*"
  tier_name=$*
  tier_start=$SECONDS
  tier_cpu_start=$(cpu_seconds)
}

build() { # preset [target]
  cmake --preset "$1" >"build/$1-configure.log" 2>&1 &&
    cmake --build --preset "$1" -j "$jobs" ${2:+--target "$2"} >"build/$1-build.log" 2>&1 || {
      tail -40 "build/$1-configure.log" "build/$1-build.log" 2>/dev/null
      problems+=("$1: build failed (build/$1-build.log)")
      failed=$((failed + 1))
      return 1
    }
}

# Runs one fuzzer for its bounded time; its log and its verdict ("passed" or
# "failed") land beside it.
fuzz() { # fuzzer
  local name corpus seeds
  name=$(basename "$1")
  corpus="build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/${name%_fuzzer}"
  [ -d "$seeds" ] || seeds=
  if "$1" -max_total_time="${FUZZ_SECONDS:-20}" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="build/fuzz/$name-" "$corpus" $seeds >"build/fuzz/$name.log" 2>&1; then
    echo passed >"build/fuzz/$name.verdict"
  else
    echo failed >"build/fuzz/$name.verdict"
  fi
}

mkdir -p build

step "native build and unit tests (AddressSanitizer, UndefinedBehaviorSanitizer)"
build native && run_tests native no-retry

step "ThreadSanitizer over the parts two threads share"
if cmake --preset tsan >build/tsan-configure.log 2>&1 &&
    cmake --build --preset tsan -j "$jobs" --target driver_core_tests >build/tsan-build.log 2>&1; then
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" run_tests tsan no-retry
else
  tail -40 build/tsan-configure.log build/tsan-build.log
  problems+=("tsan: build failed (build/tsan-build.log)")
  failed=$((failed + 1))
fi

step "fuzzing (bounded runs)"
if build fuzz; then
  # Each fuzzer takes one core for its bounded time: as many at once as cores.
  fuzzers=(build/fuzz/fuzz/*_fuzzer)
  rm -f build/fuzz/*.verdict
  for fuzzer in "${fuzzers[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
    fuzz "$fuzzer" &
  done
  wait
  for fuzzer in "${fuzzers[@]}"; do
    name=$(basename "$fuzzer")
    if [ "$(cat "build/fuzz/$name.verdict" 2>/dev/null)" = passed ]; then
      echo "$name: $(grep -Eo 'Done [0-9]+ runs' "build/fuzz/$name.log" | tail -1), no failures"
      passed=$((passed + 1))
    else
      tail -30 "build/fuzz/$name.log"
      problems+=("$name found a failure (build/fuzz/$name.log)")
      failed=$((failed + 1))
    fi
  done
fi

# Where 32-bit code cannot run, the Windows tests run from the 64-bit build
# of the same sources, and the 32-bit build compiles what ships and no test
# program: tests that cannot run there would prove only that they compile,
# which every run on a machine that can execute them proves too. What ships
# is compiled in full, with the compile-time checks of its 32-bit layouts.
if can_run_32bit; then
  step "Windows build (32-bit: the shipping programs and their tests)"
  build windows && winbuild=windows || winbuild=
else
  step "Windows build (32-bit: the shipping programs only, as 32-bit Windows programs do not run here)"
  build windows shipped
  step "Windows build (64-bit, for the tests under Wine)"
  build wine64 && winbuild=wine64 || winbuild=
fi

# The run's own prefix and its desktops (see wine-env.sh), each with one
# wineserver for the whole run, which keeps each program start fast. Most of
# a Wine test's time is spent waiting for another process, so twice as many
# tests run at once as there are cores.
if [ -n "$winbuild" ]; then
  step "Windows tests under Wine ($winbuild)"
  export WINEPREFIX="$root/build/$winbuild/wineprefix"
  "$here/wine-prefix.sh" "$WINEPREFIX"
  prefixes=("$WINEPREFIX")
  for id in $(wine_desktop_ids); do
    prefixes+=("$(wine_desktop_prefix "$WINEPREFIX" "$id")")
    "$here/wine-prefix.sh" "${prefixes[-1]}" "$WINEPREFIX"
  done
  for prefix in "${prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -p
    WINEPREFIX=$prefix warm_wine "$winbuild"
  done
  run_tests "$winbuild" retry $((2 * jobs))
  for prefix in "${prefixes[@]}"; do WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; done
fi

# The README's other commands, each once, so that none can stop working
# unnoticed: the main job, a replay of a sample recording and, where the
# 64-bit build is at hand, the screenshots. Each counts as one test.
readme_command() { # name, command...
  local name=$1 log="build/readme-$1.log"
  shift
  if "$@" >"$log" 2>&1; then
    echo "$name: passed"
    passed=$((passed + 1))
  else
    tail -20 "$log"
    problems+=("$name failed (build/readme-$name.log)")
    failed=$((failed + 1))
  fi
}
step "the README's commands: make bench's set-up, make run, make replay, make screenshots"
# The benchmarks themselves ran with the native tests; the bench preset's own
# configuration is checked here (building it optimised would double the
# native build's time).
readme_command make-bench-configure cmake --preset bench
if [ -n "$winbuild" ]; then
  readme_command make-run "$here/run.sh"
  readme_command make-replay "$here/replay.sh" sim/sessions/sample-recording.script
  if [ "$winbuild" = wine64 ]; then
    readme_command make-screenshots env SCREENSHOTS_BUILD="$root/build/wine64" bash -c \
      'EXTRA_PACKAGES="xvfb imagemagick x11-utils fonts-wqy-microhei" scripts/install-deps.sh && scripts/screenshots.sh &&
       [ "$(ls build/screenshots/*.png | wc -l)" -ge 4 ]'
  else
    notes+=("make screenshots was not tried: its dialogs run from the 64-bit build, which this run did not build")
  fi
fi

end_tier
echo
echo "Time per tier:  wall  processor"
for t in "${timings[@]}"; do echo "$t"; done
printf '%5d s %6d s  %s\n' $((SECONDS - run_start)) $(($(cpu_seconds) - run_cpu_start)) 'in all'

echo
for n in "${notes[@]}"; do echo "note: $n"; done
for p in "${problems[@]}"; do echo "problem: $p"; done
if [ "$skipped" -eq 0 ]; then
  echo "$passed passed, $failed failed"
else
  echo "$passed passed, $failed failed, $skipped skipped"
fi
[ "$failed" -eq 0 ]
