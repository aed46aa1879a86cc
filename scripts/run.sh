#!/usr/bin/env bash
# Installs what is missing, builds, and records a short demonstration session
# from the built-in simulated flow meter (vexa-flowsim on a pseudo-terminal),
# then prints what the recording holds.
# usage: scripts/run.sh [seconds]      (default 8)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh base gui
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)"

SECONDS_TO_RUN=${1:-8}
WORK=$(mktemp -d)
OUT=build/run/recordings
mkdir -p "$OUT"
trap 'kill "$SIM" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$WORK"' EXIT

# The simulator stands in for the instrument on COM2, the default preset's
# port; a fresh settings folder keeps the demonstration away from yours.
build/run/tools/vexa-flowsim --link "$WORK/flowmeter" >/dev/null &
SIM=$!
for _ in $(seq 50); do [ -e "$WORK/flowmeter" ] && break; sleep 0.1; done
export VEXA_COM2="$WORK/flowmeter" VEXA_CONFIG_DIR="$WORK"

FILE=$(build/run/tools/vexa-rec record --port 2 --interval 1 --seconds "$SECONDS_TO_RUN" \
  --postfix demo --dir "$OUT" --description "Demonstration with the simulated flow meter" \
  --mark 3:start --mark 6:"deep breath" | tail -n 1)
echo
echo "Recorded $FILE"
echo
build/run/tools/vexa-rec info "$FILE"
echo
echo "Chart image of the recording (as the monitor shows it):"
build/run/tools/vexa-render "$FILE" --out "${FILE%.vxa}.png"
echo "The chart printed on an A4 page (as the print window prints it):"
build/run/tools/vexa-render "$FILE" --out "${FILE%.vxa}.pdf"
