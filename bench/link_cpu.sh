#!/usr/bin/env bash
# CPU share of the recorder's acquisition thread under a fast instrument:
# vexa-flowsim sends 200 frames/s, vexa-rec monitor reads them for 30 s, and
# the monitor's user + system time is taken from /proc when it ends.
# usage: bench/link_cpu.sh [build-dir] [seconds] [rate]
#        (defaults: build/link, 30, 200)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/link}
SECS=${2:-30}
RATE=${3:-200}
SIM=$BUILD/tools/vexa-flowsim
REC=$BUILD/tools/vexa-rec
[ -x "$SIM" ] && [ -x "$REC" ] || { echo "build $SIM and $REC first" >&2; exit 2; }

WORK=$(mktemp -d)
SIM_PID=
cleanup() { [ -n "$SIM_PID" ] && kill "$SIM_PID" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT

"$SIM" --link "$WORK/meter" --rate "$RATE" >/dev/null &
SIM_PID=$!
for _ in $(seq 50); do [ -e "$WORK/meter" ] && break; sleep 0.1; done

TICKS=$(getconf CLK_TCK)
VEXA_COM7="$WORK/meter" VEXA_CONFIG_DIR="$WORK" "$REC" monitor --port 7 --seconds "$SECS" \
  >"$WORK/monitor.log" &
REC_PID=$!
# Sample the monitor's own counters just before it exits (fields 14 and 15 of
# /proc/PID/stat: user and system clock ticks, its threads included).
START=$(date +%s.%N)
LAST=
while kill -0 "$REC_PID" 2>/dev/null; do
  STAT=$(cat "/proc/$REC_PID/stat" 2>/dev/null) || break
  LAST=$STAT
  sleep 0.2
done
END=$(date +%s.%N)
wait "$REC_PID"

read -r UTIME STIME < <(echo "$LAST" | sed 's/^.*) //' | awk '{print $12, $13}')
tail -n 2 "$WORK/monitor.log"
awk -v u="$UTIME" -v s="$STIME" -v hz="$TICKS" -v t0="$START" -v t1="$END" -v rate="$RATE" 'BEGIN {
  cpu = (u + s) / hz; wall = t1 - t0;
  printf "vexa-rec monitor at %d frames/s: %.2f s CPU (user %.2f, system %.2f) in %.1f s = %.2f %% of one core\n",
         rate, cpu, u / hz, s / hz, wall, 100 * cpu / wall }'
