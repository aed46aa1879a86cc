#!/usr/bin/env bash
# Start-up of the desktop program against a bare Qt Widgets main window, both
# under one Xvfb server: from the process start to the windows shown.
# usage: bench/startup.sh [BUILD_DIR] [runs]      (default build/bench, 15)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/bench}
RUNS=${2:-15}
for f in "$BUILD/app/vexa" "$BUILD/bench/bare_window_bench" "$BUILD/bench/startup_bench"; do
  [ -x "$f" ] || { echo "startup.sh: $f is missing (build the benchmarks as the README says)" >&2; exit 2; }
done
exec xvfb-run -a -s "-screen 0 1920x1080x24" \
  "$BUILD/bench/startup_bench" "$BUILD/app/vexa" "$BUILD/bench/bare_window_bench" "$RUNS"
