#!/usr/bin/env bash
# False rows from line faults with both cores kept busy: vexa-rec records
# from vexa-flowsim (constant 3.00 l, 15 /min, 7.5 l/min at 20 frames/s)
# under each fault, and the rows are counted as the meter's values, empty
# (no whole frame in the interval) or false (anything else).
# usage: bench/line_faults.sh [build-dir] [rows] [interval]
#        (defaults: build/bench, 400, 0.05)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/bench}
ROWS=${2:-400}
INTERVAL=${3:-0.05}
SIM=$BUILD/tools/vexa-flowsim
REC=$BUILD/tools/vexa-rec
[ -x "$SIM" ] && [ -x "$REC" ] || { echo "build $SIM and $REC first" >&2; exit 2; }
PIDS=()
WORK=""
cleanup() { for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null || true; [ -n "$WORK" ] && rm -rf "$WORK"; }
trap cleanup EXIT
for faults in "--garbage 3 --cut-every 2" "--cut-every 2" "--garbage 3"; do
  WORK=$(mktemp -d)
  # shellcheck disable=SC2086
  "$SIM" --link "$WORK/meter" --constant 3.00,15,7.5 --rate 20 $faults >/dev/null &
  PIDS=($!)
  for _ in $(seq 50); do [ -e "$WORK/meter" ] && break; sleep 0.1; done
  for _ in 1 2; do ( while :; do :; done ) & PIDS+=($!); done
  VEXA_CONFIG_DIR=$WORK VEXA_COM2=$WORK/meter "$REC" record --port 2 --interval "$INTERVAL" \
    --samples "$ROWS" --dir "$WORK" >"$WORK/out" 2>"$WORK/err"
  for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  PIDS=()
  awk -v f="$faults" '/^Data-Table:/{t=1;next} t{sub(/\r$/,""); n++; if ($0=="3.0\t7.5\t") v++; else if ($0=="0.0\t0.0\t") z++; else x++}
       END{printf "%-28s rows=%d values=%d empty=%d false=%d\n", f, n, v, z, x}' "$(tail -n 1 "$WORK/out")"
  rm -rf "$WORK"
  WORK=""
done
