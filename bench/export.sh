#!/usr/bin/env bash
# Exporting a week-long recording (999,999 rows, seven channels, a mark now
# and then): `vexa-rec export --edf` against `vexa-rec export --csv` of the
# same file, each run RUNS times (default 7), in alternation so that both
# see the same machine; prints every time, the medians, the best and the
# ratios. Both include reading the recording, as an export from the
# command line does. The rule: EDF+ takes at most twice the time of CSV.
# usage: bench/export.sh BUILD_DIR [RUNS [RECORDING]]
#   (a Release build with -DVEXA_BUILD_BENCH=ON; without RECORDING its
#   chart_paint_bench --write makes the week)
set -euo pipefail
B=${1:?usage: bench/export.sh BUILD_DIR [RUNS [RECORDING]]}
RUNS=${2:-7}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
week=${3:-}
if [ -z "$week" ]; then
  "$B/bench/chart_paint_bench" --write "$WORK" >/dev/null
  week=$(ls "$WORK"/*.vxa | head -n 1)
fi
ms() {  # the wall time of a command, in milliseconds
  local start
  start=$(date +%s%N)
  "$@" >/dev/null
  echo $(( ($(date +%s%N) - start) / 1000000 ))
}
csv=() edf=()
for _ in $(seq "$RUNS"); do
  csv+=("$(ms "$B/tools/vexa-rec" export "$week" --csv "$WORK/week.csv")")
  edf+=("$(ms "$B/tools/vexa-rec" export "$week" --edf "$WORK/week.edf")")
done
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
best() { printf '%s\n' "$@" | sort -n | head -n 1; }
echo "recording: $(basename "$week"), $(stat -c %s "$week") bytes"
echo "CSV:  ${csv[*]} ms; median $(median "${csv[@]}"), best $(best "${csv[@]}"); $(stat -c %s "$WORK/week.csv") bytes"
echo "EDF+: ${edf[*]} ms; median $(median "${edf[@]}"), best $(best "${edf[@]}"); $(stat -c %s "$WORK/week.edf") bytes"
awk -v a="$(median "${edf[@]}")" -v b="$(median "${csv[@]}")" -v c="$(best "${edf[@]}")" -v d="$(best "${csv[@]}")" \
  'BEGIN { printf "EDF+ / CSV: %.2f (medians), %.2f (best)\n", a / b, c / d }'
