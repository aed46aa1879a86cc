#!/usr/bin/env bash
# Installs what is missing, builds and runs every test, the way CI does:
#   normal    GCC build, all tests (the desktop program end to end under
#             Xvfb too), warnings as errors
#   asan      AddressSanitizer + UndefinedBehaviorSanitizer, all tests
#   tsan      ThreadSanitizer, the threaded tests (link, recording sessions,
#             a live session with the windows attached)
#   fuzz      clang + libFuzzer, each target for a short run
#   windows   mingw-w64 cross build with Qt and EDFlib for Windows
#             (scripts/cross-deps.sh, built once into a cache): the programs and the tests that need
#             no pseudo-terminal under wine, the installer and the portable
#             .zip (scripts/package.sh windows), and both end to end under
#             wine beside the Linux programs (tests/e2e/windows*.sh)
#   package   the Debian package (scripts/package.sh), lintian, the desktop
#             entry, metainfo and MIME type, and the package installed into
#             a clean Debian 12 root (debootstrap) and run there (needs root)
# usage: scripts/test.sh [stage...]     (no stage: all of them)
#        VEXA_FUZZ_SECONDS=N            (seconds per fuzz target, default 20)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
JOBS=$(nproc)

stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(normal asan tsan fuzz windows package)

banner() { printf '\n==== %s ====\n' "$*"; }

# A compiler cache for every build below (CMake takes its launcher from these
# variables): a second run on one machine, CI's or a developer's, compiles
# only what changed. With the base folder, and the working folder left out
# of the key of builds with debug information, a clone elsewhere hits it too.
scripts/install-deps.sh ccache
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
export CCACHE_BASEDIR=$ROOT CCACHE_NOHASHDIR=1

configure_build() {  # dir, extra cmake arguments...
  local dir=$1; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja -DVEXA_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

NORMAL_BUILD=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_BUILD_BENCH=ON)

stage_normal() {
  scripts/install-deps.sh base gui bench e2e readers
  banner "normal build (benchmarks compiled, not run)"
  configure_build build/test "${NORMAL_BUILD[@]}"
  (cd build/test && ctest --output-on-failure --no-tests=error -j "$JOBS")
}

stage_asan() {
  scripts/install-deps.sh base gui sanitize e2e readers
  banner "AddressSanitizer + UndefinedBehaviorSanitizer"
  configure_build build/asan -DCMAKE_BUILD_TYPE=Debug -DVEXA_SANITIZE=address,undefined
  (cd build/asan && ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1 \
     UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure --no-tests=error -j "$JOBS")
}

stage_tsan() {
  scripts/install-deps.sh base gui sanitize
  banner "ThreadSanitizer (threaded tests)"
  # Only the binaries whose tests carry the threaded label: the rest would
  # take most of the stage's build time and never run here.
  cmake -S "$ROOT" -B build/tsan -G Ninja -DVEXA_WERROR=ON -DCMAKE_BUILD_TYPE=Debug \
    -DVEXA_SANITIZE=thread >/dev/null
  cmake --build build/tsan -j "$JOBS" --target vexa_link_tests vexa_recording_tests vexa_ui_live_tests
  (cd build/tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
     ctest --output-on-failure --no-tests=error -j "$JOBS" -L threaded)
}

stage_fuzz() {
  scripts/install-deps.sh base fuzz
  banner "libFuzzer (${VEXA_FUZZ_SECONDS:-20} s per target)"
  # The libraries get coverage instrumentation too, so the fuzzer sees inside them.
  CC=clang CXX=clang++ configure_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVEXA_SANITIZE=address,undefined -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
    -DVEXA_BUILD_FUZZ=ON -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_TOOLS=OFF -DVEXA_BUILD_GUI=OFF
  local target found=0
  for target in build/fuzz/fuzz/*_fuzz; do
    [ -x "$target" ] || continue
    found=1
    local name corpus
    name=$(basename "$target")
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus"
    [ -d "fuzz/corpus/$name" ] && cp -n fuzz/corpus/"$name"/* "$corpus"/ 2>/dev/null || true
    echo "-- $name"
    "$target" -max_total_time="${VEXA_FUZZ_SECONDS:-20}" -print_final_stats=0 \
      -timeout=10 -rss_limit_mb=2048 "$corpus" 2>&1 | tail -n 3
  done
  [ $found -eq 1 ] || echo "(no fuzz targets yet)"
}

# vexa-rec.exe reads real frames through the Win32 serial code: wine maps
# COM<n> to what $WINEPREFIX/dosdevices/com<n> links to, here the pseudo-
# terminal of a native vexa-flowsim. A recording made with Cyrillic text on
# the command line must equal the native build's bytes apart from its times.
windows_serial_check() {
  local native=build/test tmp sim status=0
  tmp=$(mktemp -d)
  "$native/tools/vexa-flowsim" --constant 3.00,15,7.5 --link "$tmp/flow" >/dev/null 2>&1 &
  sim=$!
  for _ in $(seq 100); do [ -e "$tmp/flow" ] && break; sleep 0.05; done
  ln -sfn "$(readlink "$tmp/flow")" "$WINEPREFIX/dosdevices/com5"
  local record=(record --port 5 --interval 0.5 --samples 3 --postfix "опыт"
                --description "описание проверки" --mark "2:метка")
  mkdir -p "$tmp/linux" "$tmp/windows" "$tmp/cfg-linux" "$tmp/cfg-windows"
  VEXA_CONFIG_DIR=$tmp/cfg-windows /usr/lib/wine/wine64 build/mingw/tools/vexa-rec.exe \
    monitor --port 5 --seconds 2 >"$tmp/monitor.out" 2>&1 || status=$?
  VEXA_CONFIG_DIR=$tmp/cfg-linux VEXA_COM5=$tmp/flow "$native/tools/vexa-rec" "${record[@]}" \
    --dir "$tmp/linux" >/dev/null 2>"$tmp/linux.err" || status=$?
  VEXA_CONFIG_DIR=$tmp/cfg-windows /usr/lib/wine/wine64 build/mingw/tools/vexa-rec.exe \
    "${record[@]}" --dir "$tmp/windows" >/dev/null 2>"$tmp/windows.err" || status=$?
  kill "$sim"
  wait "$sim" 2>/dev/null || true
  rm -f "$WINEPREFIX/dosdevices/com5"
  local linux windows
  linux=$(ls "$tmp"/linux/*" опыт.vxa" 2>/dev/null | head -n 1)
  windows=$(ls "$tmp"/windows/*" опыт.vxa" 2>/dev/null | head -n 1)
  if [ "$status" -ne 0 ] || ! grep -q "^V=3.00 F=15.0 M=7.5 alive" "$tmp/monitor.out" ||
     [ -z "$linux" ] || [ -z "$windows" ] ||
     ! cmp <(sed -E 's/^(Started|Stopped)-Record: .{19}/\1-Record: <time>/' "$linux") \
           <(sed -E 's/^(Started|Stopped)-Record: .{19}/\1-Record: <time>/' "$windows"); then
    echo "vexa-rec.exe through COM5 under wine: status $status" >&2
    cat "$tmp/monitor.out" "$tmp/linux.err" "$tmp/windows.err" >&2
    rm -rf "$tmp"
    return 1
  fi
  echo "vexa-rec.exe under wine through COM5: $(tail -n 1 "$tmp/monitor.out")"
  echo "vexa-rec.exe under wine: a recording with Cyrillic text equals the native one apart from its times"
  rm -rf "$tmp"
}

stage_windows() {
  scripts/install-deps.sh base gui bench cross cross-qt win-package e2e
  banner "Qt for Windows (built once, then from the cache)"
  local qt_start=$SECONDS
  scripts/cross-deps.sh qt
  echo "(Qt for Windows: $((SECONDS - qt_start)) s)"
  scripts/cross-deps.sh edflib
  banner "Windows cross build (mingw-w64, Qt) under wine"
  configure_build build/mingw -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DVEXA_GTEST_FROM_SOURCE=ON \
    -DVEXA_BUILD_GUI=ON -DVEXA_EDF_EXPORT=ON -DCMAKE_PREFIX_PATH="$(scripts/cross-deps.sh prefix)"
  export WINEPREFIX=$ROOT/build/mingw/wineprefix WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
  mkdir -p "$WINEPREFIX"
  (cd build/mingw && ctest --output-on-failure --no-tests=error)
  # vexa-rec itself under wine: a port that does not exist is reported, status 1.
  local out status=0
  out=$(VEXA_CONFIG_DIR="$WINEPREFIX" /usr/lib/wine/wine64 build/mingw/tools/vexa-rec.exe \
          monitor --port 99 --seconds 1 2>&1) || status=$?
  if [ "$status" -ne 1 ] || [[ "$out" != *"Error init port COM 99"* ]]; then
    echo "vexa-rec.exe monitor --port 99: status $status, output: $out" >&2
    return 1
  fi
  echo "vexa-rec.exe under wine: $out (status $status)"
  # Its version comes from its own version resource, as the About page's does.
  out=$(/usr/lib/wine/wine64 build/mingw/tools/vexa-rec.exe --version 2>&1 | tr -d '\r')
  if [ "$out" != "vexa-rec 1.1.0.135" ]; then
    echo "vexa-rec.exe --version: expected the resource's 1.1.0.135, got: $out" >&2
    return 1
  fi
  echo "vexa-rec.exe --version under wine reads its version resource: $out"
  # The Linux programs the Windows ones are compared with: the normal stage's
  # build, or only these four of it when that stage has not run.
  [ -f build/test/CMakeCache.txt ] ||
    cmake -S "$ROOT" -B build/test -G Ninja -DVEXA_WERROR=ON "${NORMAL_BUILD[@]}" >/dev/null
  cmake --build build/test -j "$JOBS" --target vexa-flowsim vexa-rec vexa-render vexa
  windows_serial_check
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  banner "Windows installer and portable .zip, end to end under wine"
  local packages setup zip
  packages=$(VEXA_WINDOWS_BUILD=build/mingw scripts/package.sh windows | tail -n 2)
  setup=$(echo "$packages" | head -n 1)
  zip=$(echo "$packages" | tail -n 1)
  echo "$(basename "$setup"): $(stat -c %s "$setup") bytes; $(basename "$zip"): $(stat -c %s "$zip") bytes"
  tests/e2e/windows_tools.sh "$zip" build/test/tools/vexa-render build/test/tools/vexa-rec
  tests/e2e/windows.sh "$setup" build/test/app/vexa build/test/tools/vexa-flowsim \
    build/test/tools/vexa-rec
}

stage_package() {
  scripts/install-deps.sh base gui package
  banner "Debian package, installed into a clean Debian 12 root"
  local deb
  deb=$(scripts/package.sh | tail -n 1)
  tests/package/check_package.sh "$deb"
}

for s in "${stages[@]}"; do
  declare -F "stage_$s" >/dev/null || { echo "test.sh: unknown stage '$s'" >&2; exit 2; }
  start=$SECONDS
  "stage_$s"
  echo "(stage $s took $((SECONDS - start)) s)"
done
banner "all stages passed: ${stages[*]}"
