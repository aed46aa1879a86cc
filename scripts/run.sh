#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program's main job against
# the built-in simulated flow meter (vexa-flowsim on a pseudo-terminal).
# usage: scripts/run.sh [seconds]      (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh base
cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)"

SECONDS_TO_RUN=${1:-10}
WORK=$(mktemp -d)
trap 'kill "$SIM" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$WORK"' EXIT

# The simulator stands in for the instrument on COM2, the default preset's port.
build/run/tools/vexa-flowsim --link "$WORK/flowmeter" &
SIM=$!
for _ in $(seq 50); do [ -e "$WORK/flowmeter" ] && break; sleep 0.1; done
export VEXA_COM2="$WORK/flowmeter" VEXA_CONFIG_DIR="$WORK"
build/run/tools/vexa-rec monitor --port 2 --seconds "$SECONDS_TO_RUN"
