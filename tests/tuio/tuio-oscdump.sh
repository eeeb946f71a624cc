#!/usr/bin/env bash
# Runs the TUIO scenario against a real OSC client: liblo's oscdump listens
# on a free UDP port (Wine's sockets are the host's, so 3333 may be taken
# by something else), its output goes to a file the scenario reads.
#   tuio-oscdump.sh <wine runner> <scenario program> [its arguments...]
set -u
runner=$1
program=$2
shift 2
. "$(dirname "$0")/../../scripts/wine-env.sh"
command -v oscdump >/dev/null || { echo "oscdump is not installed (Debian: liblo-tools)"; exit 1; }
port=$(free_udp_port)
log=$(mktemp /tmp/brelvin-oscdump.XXXXXX)
oscdump -L "$port" >"$log" 2>&1 &
listener=$!
trap 'kill $listener 2>/dev/null; wait $listener 2>/dev/null; rm -f "$log"' EXIT
# Ready once the port is bound.
for _ in $(seq 200); do
  if grep -qi "$(printf ':%04X ' "$port")" /proc/net/udp 2>/dev/null; then break; fi
  sleep 0.05
done
export BRELVIN_TUIO_PORT=$port
export BRELVIN_OSCDUMP_LOG="Z:$(echo "$log" | tr / '\\')"
"$runner" "$program" "$@"
