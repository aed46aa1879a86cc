#!/usr/bin/env bash
# Panning a 999,999-row, seven-channel recording in the desktop program:
# vexa opens it from the command line under Xvfb, xdotool drags the chart
# with the right mouse button, and the vexa.chart.paint log gives the time
# of every paint during the drag. Prints the paints' count, median, 95th
# percentile and maximum.
# usage: bench/pan.sh [BUILD_DIR] [WIDTHxHEIGHT]   (default build/bench, 1280x800)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/bench}
SIZE=${2:-1280x800}
for f in "$BUILD/app/vexa" "$BUILD/bench/chart_paint_bench" "$BUILD/tools/vexa-rec"; do
  [ -x "$f" ] || { echo "pan.sh: $f is missing (build the benchmarks as the README says)" >&2; exit 2; }
done
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

WORK=$(mktemp -d)
APP=""
trap '[ -n "$APP" ] && kill "$APP" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$WORK"' EXIT

echo "writing the recording..."
FILE=$("$BUILD/bench/chart_paint_bench" --write "$WORK")
# The monitor at the size asked for: its width and height are the int32s at
# offsets 144 and 148 of vexa.cfg.
VEXA_CONFIG_DIR=$WORK "$BUILD/tools/vexa-rec" config >/dev/null
int32() {  # little-endian bytes
  # shellcheck disable=SC2059
  printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"
}
int32 "${SIZE%x*}" | dd of="$WORK/vexa.cfg" bs=1 seek=144 conv=notrunc status=none
int32 "${SIZE#*x}" | dd of="$WORK/vexa.cfg" bs=1 seek=148 conv=notrunc status=none

QT_LOGGING_RULES="vexa.chart.paint.debug=true" VEXA_CONFIG_DIR=$WORK \
  "$BUILD/app/vexa" "$FILE" 2>"$WORK/paint.log" &
APP=$!
MONITOR=""
for _ in $(seq 300); do
  MONITOR=$(xdotool search --onlyvisible --name "^Loaded file: " 2>/dev/null | head -n 1 || true)
  [ -n "$MONITOR" ] && break
  sleep 0.1
done
[ -n "$MONITOR" ] || { echo "pan.sh: the recording did not open" >&2; exit 1; }
sleep 1  # the first paints of the opened recording are not part of the pan
BEFORE=$(grep -c "paint .* ms" "$WORK/paint.log" || true)

# The control panel out of the way; then grab the chart and drag it about:
# 150 moves of 6 pixels, 15 ms apart (a quick hand on the mouse).
PANEL=$(xdotool search --onlyvisible --name "^VEXA:  Control panel\$" | head -n 1)
xdotool windowmove "$PANEL" 1500 0
eval "$(xdotool getwindowgeometry --shell "$MONITOR")"
X0=$((X + WIDTH / 3)) Y0=$((Y + HEIGHT / 2))
MOVES=()
for i in $(seq 150); do
  case $(( (i - 1) / 25 % 4 )) in
    0) MOVES+=(mousemove_relative -- 6 0 sleep 0.015) ;;
    1) MOVES+=(mousemove_relative -- 0 6 sleep 0.015) ;;
    2) MOVES+=(mousemove_relative -- -6 0 sleep 0.015) ;;
    3) MOVES+=(mousemove_relative -- 0 -6 sleep 0.015) ;;
  esac
done
xdotool mousemove "$X0" "$Y0" sleep 0.2 mousedown 3 "${MOVES[@]}" mouseup 3
sleep 1

tail -n +"$((BEFORE + 1))" "$WORK/paint.log" | sed -n 's/.*paint \([0-9.]*\) ms \([0-9]*\) points \([0-9x]*\).*/\1 \2 \3/p' |
  sort -n | awk -v size="$SIZE" '
    { ms[NR] = $1; points = $2; area = $3 }
    END {
      if (NR == 0) { print "pan.sh: no paint was logged during the drag"; exit 1 }
      p95 = ms[int(0.95 * NR + 0.999)]
      printf "pan of a 999,999-row, 7-channel recording, monitor %s (chart %s, %d points): %d paints, median %.2f ms, p95 %.2f ms, max %.2f ms\n",
             size, area, points, NR, ms[int((NR + 1) / 2)], p95, ms[NR]
    }'
