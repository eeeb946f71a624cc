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

# True when this machine can execute 32-bit code (and so 32-bit Wine).
# BRELVIN_RUN_32BIT=no makes a machine that can behave as one that cannot,
# to try that path of the scripts.
can_run_32bit() {
  [ "${BRELVIN_RUN_32BIT:-}" != no ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
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
