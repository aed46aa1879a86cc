#!/usr/bin/env bash
# Installs what is missing, builds, and shows VEXA working with the built-in
# simulated flow meter (vexa-flowsim on a pseudo-terminal as COM2):
#   - with a display ($DISPLAY set): starts the desktop program with a
#     demonstration settings folder under build/run/; press Start (F5) and
#     watch a live recording. The simulator stops when the program ends.
#   - without one: records a short session from the command line, prints
#     what the recording holds and draws its chart into an image.
# usage: scripts/run.sh [seconds]      (default 8; the headless recording's length)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh base gui
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)"

WORK=$(mktemp -d)
SIM=""
trap '[ -n "$SIM" ] && kill "$SIM" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$WORK"' EXIT

# The simulator stands in for the instrument on COM2, the default preset's
# port.
build/run/tools/vexa-flowsim --link "$WORK/flowmeter" >/dev/null &
SIM=$!
for _ in $(seq 50); do [ -e "$WORK/flowmeter" ] && break; sleep 0.1; done
export VEXA_COM2="$WORK/flowmeter"

if [ -n "${DISPLAY:-}" ]; then
  # Settings, presets and recordings of the demonstration stay in this
  # folder (recordings go to the first destination folder, which a new
  # settings file sets to the settings folder).
  DEMO=$PWD/build/run/demo
  mkdir -p "$DEMO"
  echo "VEXA with the simulated flow meter on COM2; settings and recordings in $DEMO"
  echo "Press Start (F5), Mark (Ctrl+M), Stop (Shift+F5); Ctrl+Q ends the program."
  VEXA_CONFIG_DIR=$DEMO build/run/app/vexa
  exit 0
fi

SECONDS_TO_RUN=${1:-8}
OUT=build/run/recordings
mkdir -p "$OUT"
# A fresh settings folder keeps the demonstration away from yours.
export VEXA_CONFIG_DIR="$WORK"
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
