#!/usr/bin/env bash
# The open window's two speed rules, measured on this machine:
#   listing 10,000 recordings: the window against `vexa-rec scan` of the same folder;
#   opening a 999,999-row, seven-channel recording: against LoadRecording alone.
# usage: bench/open_window.sh BUILD_DIR      (a Release build with -DVEXA_BUILD_BENCH=ON)
set -euo pipefail
B=${1:?usage: bench/open_window.sh BUILD_DIR}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
"$B/bench/scan_bench" --write "$WORK/folder" 10000
best=""
for _ in 1 2 3 4 5; do
  start=$(date +%s%N)
  "$B/tools/vexa-rec" scan "$WORK/folder" >/dev/null
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  [ -z "$best" ] || [ "$ms" -lt "$best" ] && best=$ms
done
echo "vexa-rec scan: $best ms (best of 5)"
"$B/bench/open_window_bench" --scan "$WORK/folder"
mkdir -p "$WORK/week"
"$B/bench/chart_paint_bench" --write "$WORK/week" >/dev/null
"$B/bench/open_window_bench" --load "$(ls "$WORK"/week/*.vxa | head -n 1)"
