#!/usr/bin/env bash
# Runs the TUIO scenario against a real OSC client: liblo's oscdump listens
# on a free UDP port (Wine's sockets are the host's, so 3333 may be taken
# by something else), its output goes to a file the scenario reads.
#   tuio-oscdump.sh <wine runner> <scenario program>
set -u
runner=$1
program=$2
command -v oscdump >/dev/null || { echo "oscdump is not installed (Debian: liblo-tools)"; exit 1; }
port=$(python3 -c 'import socket; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
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
"$runner" "$program"
