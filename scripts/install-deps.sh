#!/usr/bin/env bash
# Installs what the build and the tests need, once; later calls return at once.
# EXTRA_PACKAGES names more packages for one target (screenshots, dist).
set -e
need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in cmake g++ make googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev \
           g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 file python3 wixl msitools osslsigncode openssl \
           liblo-tools libxml2-utils xvfb xserver-xephyr \
           ${EXTRA_PACKAGES:-}; do
  have_pkg "$pkg" || need+=("$pkg")
done
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need+=(wine32:i386)
elif ! have_pkg wine32:i386; then
  need+=(wine32:i386)
fi
[ ${#need[@]} -eq 0 ] && exit 0
echo "Installing: ${need[*]}"
export DEBIAN_FRONTEND=noninteractive
SUDO=; [ "$(id -u)" -eq 0 ] || SUDO=sudo
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
