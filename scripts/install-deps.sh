#!/usr/bin/env bash
# Installs what the build and the tests need, once; later calls return at once.
# EXTRA_PACKAGES names more packages for one target (screenshots, dist).
#
# A package mirror can be out of step for a while (an index of the wrong
# size, "Mirror sync in progress?"), most often for i386. So the set-up
# installs what it can and says what it could not:
# - a failed `apt-get update` is tried again a few times; if an index still
#   fails, the install goes on with the lists there are;
# - the packages every path needs are installed in one step, and a failure
#   there stops the set-up with apt's own message;
# - 32-bit Wine is installed in a step of its own: where it cannot be, the
#   Windows tests run from the 64-bit build (scripts/wine-env.sh decides
#   that by what really runs), and the set-up goes on. The refusal is kept
#   in build/wine32-refused, so later calls do not ask the mirror again
#   (`make clean` or removing the file asks again).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
refused_marker=${BRELVIN_BUILD_DIR:-$root/build}/wine32-refused
update_tries=${BRELVIN_APT_UPDATE_TRIES:-3}
update_pause=${BRELVIN_APT_UPDATE_PAUSE:-5}

have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

need=()
for pkg in cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev \
           g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 file python3 wixl msitools osslsigncode openssl \
           liblo-tools libxml2-utils xvfb xserver-xephyr \
           ${EXTRA_PACKAGES:-}; do
  have_pkg "$pkg" || need+=("$pkg")
done
want_wine32=no
if ! have_pkg wine32:i386 && [ ! -f "$refused_marker" ]; then want_wine32=yes; fi
[ ${#need[@]} -eq 0 ] && [ "$want_wine32" = no ] && exit 0

export DEBIAN_FRONTEND=noninteractive
SUDO=; [ "$(id -u)" -eq 0 ] || SUDO=sudo
log=$(mktemp)
trap 'rm -f "$log"' EXIT

if [ "$want_wine32" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

echo "Installing: ${need[*]}${need[*]:+ }$([ "$want_wine32" = yes ] && echo wine32:i386)"
updated=no
for ((try = 1; try <= update_tries; try++)); do
  if $SUDO apt-get update -qq >"$log" 2>&1; then updated=yes; break; fi
  [ "$try" -lt "$update_tries" ] && sleep "$update_pause"
done
if [ "$updated" = no ]; then
  failed_index=$(grep -m1 -E '^(E|W): Failed to fetch' "$log" | sed -E 's/^(E|W): Failed to fetch //; s/ .*//' || true)
  [ -n "$failed_index" ] || failed_index="an index"
  echo "apt-get update failed $update_tries times ($failed_index); going on with the package lists there are"
fi

if [ ${#need[@]} -gt 0 ]; then
  if ! $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >"$log" 2>&1; then
    cat "$log" >&2
    echo "could not install the packages the build needs (above: apt's message)" >&2
    exit 1
  fi
fi

if [ "$want_wine32" = yes ]; then
  if $SUDO apt-get install -y -qq --no-install-recommends wine32:i386 >"$log" 2>&1; then
    rm -f "$refused_marker"
  else
    mkdir -p "$(dirname "$refused_marker")"
    cp "$log" "$refused_marker"
    echo "32-bit Wine could not be installed from this machine's package mirror; the Windows tests run from the 64-bit build"
  fi
fi
exit 0
