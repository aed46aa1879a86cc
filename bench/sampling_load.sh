#!/usr/bin/env bash
# Samples kept under load: vexa-rec records at 0.05 s for S seconds while
# both cores are kept busy; every sample due in that time must be a row.
# usage: bench/sampling_load.sh [build-dir] [seconds]   (defaults: build/bench, 60)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/bench}
SECS=${2:-60}
SIM=$BUILD/tools/vexa-flowsim
REC=$BUILD/tools/vexa-rec
[ -x "$SIM" ] && [ -x "$REC" ] || { echo "build $SIM and $REC first" >&2; exit 2; }
WORK=$(mktemp -d)
PIDS=()
cleanup() { for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT
"$SIM" --link "$WORK/meter" --constant 3.00,15,7.5 >/dev/null &
PIDS+=($!)
for _ in $(seq 50); do [ -e "$WORK/meter" ] && break; sleep 0.1; done
for _ in 1 2; do ( while :; do :; done ) & PIDS+=($!); done
VEXA_CONFIG_DIR=$WORK VEXA_COM2=$WORK/meter "$REC" record --port 2 --interval 0.05 \
  --seconds "$SECS" --dir "$WORK" >"$WORK/out" 2>"$WORK/err"
rows=$(awk '/^Data-Table:/{t=1;next} t&&/\r$/{n++} END{print n+0}' "$(tail -n 1 "$WORK/out")")
echo "vexa-rec at 0.05 s for $SECS s, both cores busy: $rows rows of $((SECS * 20)) due"
