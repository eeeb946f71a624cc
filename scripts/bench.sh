#!/usr/bin/env bash
# Builds the benchmarks (optimised, no sanitizers) and runs every module's
# benchmark, natively and, where a module has one, under Wine.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
cd "$root"
. "$here/wine-env.sh"
decide_32bit
cmake --preset bench >build-bench-configure.log 2>&1 || { cat build-bench-configure.log; exit 1; }
rm -f build-bench-configure.log
cmake --build --preset bench -j "$(nproc)" >/dev/null
for b in build/bench/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "=== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
# Each module's own benchmark script. The pattern */bench.sh matches this
# script too, which must not run itself again.
for script in */bench.sh bench/*.sh; do
  [ -f "$script" ] || continue
  [ "$(cd "$(dirname "$script")" && pwd)/$(basename "$script")" = "$here/bench.sh" ] && continue
  echo "=== $script"
  bash "$script"
done
