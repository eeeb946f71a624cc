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
can_run_32bit() {
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}
