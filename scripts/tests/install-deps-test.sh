#!/usr/bin/env bash
# The set-up on fixed situations, with stand-ins of apt-get, dpkg and Wine on
# PATH instead of the real mirror: an update that fails once, one that fails
# every time, a mirror that cannot serve 32-bit Wine, and one that refuses an
# ordinary package. The first three end with every package that can be
# installed installed, and the Windows tests on the 64-bit build where 32-bit
# Wine is missing; the last fails with apt's own message.
set -u
scripts=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

# The stand-ins keep their state in $STATE: "installed" (one package a line),
# "arch" (foreign architectures), "updates" (how many updates were asked
# for) and the situation's switches: "update-fails" (how many updates fail;
# "always"), "refuse" (packages the mirror cannot install).
make_stand_ins() { # folder
  mkdir -p "$1"
  cat >"$1/apt-get" <<'SH'
#!/usr/bin/env bash
case "$1" in
  update)
    n=$(( $(cat "$STATE/updates" 2>/dev/null || echo 0) + 1 )); echo "$n" >"$STATE/updates"
    fails=$(cat "$STATE/update-fails" 2>/dev/null || echo 0)
    if [ "$fails" = always ] || [ "$n" -le "$fails" ]; then
      echo "E: Failed to fetch http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
      echo "E: Some index files failed to download. They have been ignored, or old ones used instead." >&2
      exit 100
    fi
    exit 0 ;;
  install)
    shift; pkgs=()
    for a in "$@"; do case "$a" in -*) ;; *) pkgs+=("$a") ;; esac; done
    for p in "${pkgs[@]}"; do
      if grep -qxF "$p" "$STATE/refuse" 2>/dev/null; then
        echo "E: Unable to correct problems, you have held broken packages." >&2
        exit 100
      fi
      case "$p" in *:i386) grep -qx i386 "$STATE/arch" 2>/dev/null || { echo "E: Unable to locate package $p" >&2; exit 100; } ;; esac
    done
    printf '%s\n' "${pkgs[@]}" >>"$STATE/installed"
    case " ${pkgs[*]} " in *" wine32:i386 "*) cp "$(dirname "$0")/wine32-loader.package" "$STATE/wine32-loader" ;; esac
    exit 0 ;;
esac
exit 1
SH
  cat >"$1/dpkg-query" <<'SH'
#!/usr/bin/env bash
pkg=${!#}
grep -qxF "$pkg" "$STATE/installed" 2>/dev/null && printf 'install ok installed' && exit 0
exit 1
SH
  cat >"$1/dpkg" <<'SH'
#!/usr/bin/env bash
case "$1" in
  --print-foreign-architectures) cat "$STATE/arch" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$STATE/arch" ;;
esac
SH
  # 32-bit Wine's loader, which installing wine32:i386 puts in place; a
  # 32-bit Windows program then starts.
  printf '#!/bin/sh\necho wine-8.0\n' >"$1/wine32-loader.package"
  cat >"$1/wine" <<'SH'
#!/usr/bin/env bash
case "$1" in *.exe) grep -qx 'wine32:i386' "$STATE/installed" && echo "32-bit program started" ;; esac
exit 0
SH
  cat >"$1/cross-cc" <<'SH'
#!/usr/bin/env bash
while [ $# -gt 0 ]; do [ "$1" = -o ] && : >"$2"; shift; done
SH
  printf '#!/bin/sh\nexit 0\n' >"$1/wineserver"
  printf '#!/bin/sh\necho 0\n' >"$1/id"
  chmod +x "$1"/*
}

# Runs the set-up in a fresh situation, then the 32-bit decision; prints
# what each said into $case/out and the decision into $case/decision.
run_case() { # name, then VAR=value switches for the situation
  local name=$1 dir="$scratch/$1"
  shift
  mkdir -p "$dir/state" "$dir/build"
  make_stand_ins "$dir/bin"
  for switch in "$@"; do printf '%s\n' "${switch#*=}" >>"$dir/state/${switch%%=*}"; done
  (
    export STATE="$dir/state" PATH="$dir/bin:$PATH" BRELVIN_BUILD_DIR="$dir/build"
    export BRELVIN_APT_UPDATE_PAUSE=0 BRELVIN_WINE32_LOADER="$dir/state/wine32-loader" BRELVIN_WINE32_CC="$dir/bin/cross-cc"
    unset BRELVIN_RUN_32BIT BRELVIN_32BIT_SAID BRELVIN_32BIT_WHY
    bash "$scripts/install-deps.sh" >"$dir/out" 2>&1
    echo "$?" >"$dir/status"
    . "$scripts/wine-env.sh"
    decide_32bit >>"$dir/out" 2>&1
    echo "$BRELVIN_RUN_32BIT" >"$dir/decision"
  )
}

check() { # case, description, command...
  local name=$1 what=$2
  shift 2
  if "$@"; then
    echo "ok: $name: $what"
  else
    echo "FAILED: $name: $what; the set-up said:"
    sed 's/^/    /' "$scratch/$name/out"
    failures=$((failures + 1))
  fi
}
installed() { grep -qxF "$2" "$scratch/$1/state/installed" 2>/dev/null; }
said() { grep -qF "$2" "$scratch/$1/out"; }
status_is() { [ "$(cat "$scratch/$1/status")" = "$2" ]; }
decided() { [ "$(cat "$scratch/$1/decision")" = "$2" ]; }

run_case update-fails-once update-fails=1
check update-fails-once "the update is tried again and everything is installed" \
  eval 'status_is update-fails-once 0 && installed update-fails-once wine64 && installed update-fails-once wine32:i386'
check update-fails-once "the Windows tests run from the 32-bit build" decided update-fails-once yes

run_case update-fails-always update-fails=always refuse=wine32:i386
check update-fails-always "the set-up goes on with the lists there are and says so" \
  eval 'status_is update-fails-always 0 && said update-fails-always "going on with the package lists there are"'
check update-fails-always "the packages every path needs are installed" \
  eval 'installed update-fails-always wine64 && installed update-fails-always g++-mingw-w64-i686-posix'
check update-fails-always "the 64-bit path is chosen and said once" \
  eval 'decided update-fails-always no && [ "$(grep -c "^The Windows programs run from the 64-bit build" "$scratch/update-fails-always/out")" = 1 ]'

run_case no-wine32 refuse=wine32:i386
check no-wine32 "the other packages are installed and the refusal said in one line" \
  eval 'status_is no-wine32 0 && installed no-wine32 wine64 && ! installed no-wine32 wine32:i386 &&
        said no-wine32 "32-bit Wine could not be installed from this machine'"'"'s package mirror; the Windows tests run from the 64-bit build"'
check no-wine32 "the 64-bit path is chosen: 32-bit Wine is not there" \
  eval 'decided no-wine32 no && said no-wine32 "32-bit Wine is not installed"'
# A second call does not ask the mirror for 32-bit Wine again.
(
  export STATE="$scratch/no-wine32/state" PATH="$scratch/no-wine32/bin:$PATH" BRELVIN_BUILD_DIR="$scratch/no-wine32/build"
  bash "$scripts/install-deps.sh" >"$scratch/no-wine32/again" 2>&1
)
check no-wine32 "a later call returns at once" \
  eval '[ ! -s "$scratch/no-wine32/again" ] && [ "$(cat "$scratch/no-wine32/state/updates")" = 1 ]'

run_case broken-package refuse=wixl
check broken-package "a package every path needs that cannot be installed fails the set-up with apt's message" \
  eval '! status_is broken-package 0 && said broken-package "held broken packages"'

[ "$failures" -eq 0 ]
