#!/usr/bin/env bash
# What an `oscdump -L` log received of the driver's TUIO output: bundles
# (oscdump prints one line per message, and every bundle ends with one
# "fseq") and contacts (distinct session ids of the "set" messages).
#   scripts/oscdump-summary.sh <oscdump output>   ->   "<n> bundles, <m> contacts"
set -euo pipefail
awk '
  $2 == "/tuio/2Dcur" && $4 == "\"fseq\"" { bundles++ }
  $2 == "/tuio/2Dcur" && $4 == "\"set\""  { sessions[$5] = 1 }
  END { contacts = 0; for (s in sessions) contacts++; printf "%d bundles, %d contacts\n", bundles, contacts }
' "$1"
