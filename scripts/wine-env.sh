# Sourced by the scripts that start Wine: quiet, no downloads of Wine's own
# add-ons, no desktop integration.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

# The Wine loader for a program: 64-bit programs need wine64 itself, 32-bit
# ones the 32-bit loader.
wine_loader_for() {
  local machine
  machine=$(od -An -tx2 -j "$(( $(od -An -tu4 -j 60 -N4 "$1" 2>/dev/null || echo 0) + 4 ))" -N2 "$1" 2>/dev/null | tr -d ' ')
  if [ "$machine" = "8664" ]; then
    export WINELOADER=/usr/lib/wine/wine64
    echo /usr/lib/wine/wine64
  else
    echo wine
  fi
}

# Whether the Windows programs run from the 32-bit build here: decided by
# whether a 32-bit Windows program really starts under Wine, not by the
# Linux loader alone (a machine can execute 32-bit code and still lack 32-bit
# Wine, when the package mirror could not serve it). The answer is kept in
# BRELVIN_RUN_32BIT (yes or no) for the run: a top-level script calls
# decide_32bit once, and every script it starts reads the answer.
# BRELVIN_RUN_32BIT=no makes a machine that can behave as one that cannot, to
# try that path of the scripts; =yes skips the probe.
wine32_loader=${BRELVIN_WINE32_LOADER:-/usr/lib/wine/wine}
wine32_cross_compiler=${BRELVIN_WINE32_CC:-i686-w64-mingw32-gcc}

# Prints why 32-bit Windows programs cannot run here and fails, or succeeds
# silently. The program it starts is a console program of a few lines,
# compiled for 32-bit Windows, in the prefix of the 32-bit build, which the
# Windows tests use when the answer is yes.
probe_32bit() {
  local root build probe
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  build=${BRELVIN_BUILD_DIR:-$root/build}
  probe="$build/wine32-probe"
  if [ ! -x "$wine32_loader" ]; then echo "32-bit Wine is not installed"; return 1; fi
  if ! "$wine32_loader" --version >/dev/null 2>&1; then echo "this machine cannot execute 32-bit code"; return 1; fi
  mkdir -p "$probe"
  printf '#include <stdio.h>\nint main(void) { puts("32-bit program started"); return 0; }\n' >"$probe/probe.c"
  if ! "$wine32_cross_compiler" -o "$probe/probe.exe" "$probe/probe.c" >"$probe/compile.log" 2>&1; then
    echo "the probe program did not compile ($probe/compile.log)"; return 1
  fi
  local prefix="$build/windows/wineprefix"
  BRELVIN_RUN_32BIT=yes "$root/scripts/wine-prefix.sh" "$prefix" >/dev/null 2>&1 || true
  if WINEPREFIX=$prefix timeout --kill-after=5 120 wine "$probe/probe.exe" </dev/null 2>"$probe/run.log" |
      tr -d '\r' | grep -qx '32-bit program started'; then
    return 0
  fi
  echo "a 32-bit Windows program did not start under Wine ($probe/run.log)"
  return 1
}

# Decides once per run, exports the answer, and says once when the Windows
# programs run from the 64-bit build.
decide_32bit() {
  local why
  case "${BRELVIN_RUN_32BIT:-}" in
    yes) ;;
    no) why=${BRELVIN_32BIT_WHY:-BRELVIN_RUN_32BIT=no} ;;
    *)
      if why=$(probe_32bit); then export BRELVIN_RUN_32BIT=yes; else export BRELVIN_RUN_32BIT=no; fi
      ;;
  esac
  if [ "$BRELVIN_RUN_32BIT" = no ] && [ -z "${BRELVIN_32BIT_SAID:-}" ]; then
    echo "The Windows programs run from the 64-bit build (wine64): $why."
    export BRELVIN_32BIT_SAID=1 BRELVIN_32BIT_WHY="$why"
  fi
}

# True when the Windows programs run from the 32-bit build.
can_run_32bit() {
  [ -n "${BRELVIN_RUN_32BIT:-}" ] || decide_32bit >/dev/null
  [ "$BRELVIN_RUN_32BIT" = yes ]
}

# The Windows preset whose programs this machine runs: the 32-bit shipping
# build, or where 32-bit code cannot run the 64-bit build of the same sources.
runnable_preset() {
  if can_run_32bit; then echo windows; else echo wine64; fi
}

# Configures a preset and builds the named targets; the job names the logs
# (build/<preset>-<job>-configure.log and -build.log), whose ends are shown
# when a step fails.
build_targets() { # preset, job, targets...
  local preset=$1 job=$2
  shift 2
  mkdir -p build
  cmake --preset "$preset" >"build/$preset-$job-configure.log" 2>&1 ||
    { tail -30 "build/$preset-$job-configure.log"; return 1; }
  cmake --build --preset "$preset" -j "$(nproc)" --target "$@" >"build/$preset-$job-build.log" 2>&1 ||
    { tail -30 "build/$preset-$job-build.log"; return 1; }
}

# The driver, its hook library and the stand-ins, with the program that runs
# the job (SimRunSession, SimSoak), built and copied into a fresh folder,
# build/<preset>/<job>.
prepare_rig() { # preset, job, runner's target
  local preset=$1 job=$2 target file
  local targets=(Brelvin LINK ZorvikSrv SimDrawingApp SimMouseRecorder SimMainTool SimCalibrator "$3")
  echo "building the Windows programs ($preset)..."
  build_targets "$preset" "$job" "${targets[@]}" || return 1
  rm -rf "build/$preset/$job"
  mkdir -p "build/$preset/$job"
  for target in "${targets[@]}"; do
    file="build/$preset/bin/$target.exe"
    [ -f "$file" ] || file="build/$preset/bin/$target.dll"
    cp "$file" "build/$preset/$job/"
  done
}

# The run's Wine desktops (cmake/wine-desktops.json): each a prefix beside
# the run's own, named after it, with a wineserver of its own. A test that
# runs alone holds one of them while it runs, and ctest names it in
# CTEST_RESOURCE_GROUP_0_DESKTOPS ("id:2,slots:1").
wine_desktop_ids() {
  sed -n 's/.*"id": *"\([0-9]*\)".*/\1/p' "$(dirname "${BASH_SOURCE[0]}")/../cmake/wine-desktops.json"
}
wine_desktop_prefix() { # run's prefix, desktop id
  echo "$1-desktop$2"
}
# The prefix a test runs in: its desktop's, when it holds one.
test_prefix() { # run's prefix
  local id=${CTEST_RESOURCE_GROUP_0_DESKTOPS:-}
  id=${id#id:}
  id=${id%%,*}
  if [ -n "$id" ]; then wine_desktop_prefix "$1" "$id"; else echo "$1"; fi
}

# The first program of a fresh wineserver starts Wine's system processes,
# which inherit its output; a throwaway program takes that, so that no test
# or runner whose output is read keeps them.
warm_wine() { # preset
  if [ "$1" = wine64 ]; then
    WINELOADER=/usr/lib/wine/wine64 /usr/lib/wine/wine64 cmd /c exit </dev/null >/dev/null 2>&1 || true
  else
    wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  fi
}

# A UDP port on 127.0.0.1 that nobody holds now (Wine's sockets are the
# host's, so fixed ports may be taken).
free_udp_port() {
  python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}
