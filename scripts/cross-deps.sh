#!/usr/bin/env bash
# Builds what the Windows programs need and Debian does not ship for mingw-w64.
#   scripts/cross-deps.sh qt     Qt 6 (qtbase) for x86_64-w64-mingw32 from
#                                Debian's own qt6-base source, once, into
#                                $VEXA_QT_MINGW (default ~/.cache/vexa/qt-6.4.2-mingw)
#   scripts/cross-deps.sh edflib EDFlib, the EDF+ writer, as a static library
#                                from Debian's edflib source, into $VEXA_EDFLIB_MINGW
#                                (default ~/.cache/vexa/edflib-1.27-mingw)
#   scripts/cross-deps.sh prefix prints both folders, Qt's first (cmake's
#                                CMAKE_PREFIX_PATH, a ;-list)
#   scripts/cross-deps.sh stamp  prints what the stamp of a finished Qt build holds
#
# The native Debian Qt (qt6-base-dev-tools) gives the host tools (moc, rcc,
# uic). Only the modules and plugins VEXA uses are built. A stamp file in the
# install folder names the version and the options: a folder without it, or
# with another one, is rebuilt from scratch, never half-used. An interrupted
# build resumes in its build folder only if that folder was configured with
# the same version and options.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

QT_VERSION=6.4.2
CACHE=${VEXA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vexa}
PREFIX=${VEXA_QT_MINGW:-$CACHE/qt-$QT_VERSION-mingw}
WORK=$CACHE/qt-$QT_VERSION-mingw-work
JOBS=${VEXA_QT_JOBS:-$(nproc)}

# Only Core, Gui, Widgets, PrintSupport, Network (the local socket a second
# start of the program speaks through) and Test; the windows platform plugin
# (the program), offscreen and minimal (the tests), the Windows print support
# and the windowsvista style. BMP and PNG are built into Gui.
QT_OPTIONS=(
  -DCMAKE_BUILD_TYPE=Release
  -DQT_HOST_PATH=/usr
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no
  -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_icu=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  -DFEATURE_testlib=ON -DFEATURE_printsupport=ON -DFEATURE_widgets=ON
  -DFEATURE_style_windowsvista=ON
)

# Qt 6.4.2's Windows print engine asks a DirectWrite font engine for its
# HFONT whenever DirectWrite is on, and the windows plugin makes a
# DirectWrite font database, but Gui only builds both with Direct2D, which
# is off here: they never exist, so the branches go.
# Debian's source leaves out src/3rdparty/wintab (Wacom's wintab.h, not
# free): the windows platform plugin is built without its tablet support.
QT_SOURCE_FIX='directwrite print engine and font database need direct2d; no wintab tablets'
fix_qt_source() {  # source folder
  sed -i 's/^#if QT_CONFIG(directwrite)$/#if QT_CONFIG(directwrite) \&\& QT_CONFIG(direct2d)/' \
    "$1/src/printsupport/platform/windows/qprintengine_win.cpp"
  local windows=$1/src/plugins/platforms/windows f
  # The same for the plugin's DirectWrite font database.
  sed -i 's/^#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$windows/qwindowsintegration.cpp"
  sed -i 's/CONDITION QT_FEATURE_tabletevent$/CONDITION FALSE/' "$windows/CMakeLists.txt"
  for f in qwindowscontext.cpp qwindowspointerhandler.cpp qwindowspointerhandler.h; do
    sed -i 's/^#if QT_CONFIG(tabletevent)/#if 0 \/\/ no wintab.h: QT_CONFIG(tabletevent)/' "$windows/$f"
  done
}

stamp_text() {
  printf 'qtbase %s x86_64-w64-mingw32 posix\n' "$QT_VERSION"
  printf 'source fix: %s\n' "$QT_SOURCE_FIX"
  printf '%s\n' "${QT_OPTIONS[@]}"
  write_toolchain
}

say() { printf 'cross-deps: %s\n' "$*"; }

archive_mirror() {  # the Debian archive this machine's apt uses
  local mirror
  mirror=$(awk '/^URIs:/ { print $2; exit }' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
  [ -n "$mirror" ] || mirror=$(awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z+]+:\/\//) { print $i; exit } }' \
                        /etc/apt/sources.list 2>/dev/null || true)
  echo "${mirror:-http://deb.debian.org/debian}"
}

fetch_qt_source() {  # unpacks Debian's qt6-base source into $WORK/src
  if [ -f "$WORK/src/.unpacked" ] && [ "$(cat "$WORK/src/.unpacked")" = "$QT_SOURCE_FIX" ]; then return 0; fi
  local SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  # The sources sit in the same archive as the binary packages.
  local list=/etc/apt/sources.list.d/vexa-deb-src.sources
  if [ ! -f "$list" ]; then
    local mirror
    mirror=$(archive_mirror)
    say "adding the archive's deb-src entry ($list: $mirror)"
    $SUDO tee "$list" >/dev/null <<EOF
Types: deb-src
URIs: $mirror
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $SUDO apt-get update -qq
  fi
  rm -rf "$WORK/src" "$WORK/download"
  mkdir -p "$WORK/download"
  say "downloading Debian's qt6-base source"
  (cd "$WORK/download" && apt-get source --download-only qt6-base)
  local dsc
  dsc=$(ls "$WORK"/download/qt6-base_"$QT_VERSION"*.dsc 2>/dev/null | head -n 1)
  [ -n "$dsc" ] || { say "the archive's qt6-base is not $QT_VERSION: $(ls "$WORK"/download)" >&2; exit 1; }
  say "unpacking $(basename "$dsc")"
  dpkg-source --no-check -x "$dsc" "$WORK/src" >/dev/null
  fix_qt_source "$WORK/src"
  echo "$QT_SOURCE_FIX" >"$WORK/src/.unpacked"
}

write_toolchain() {
  cat <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The compiler's runtime (libgcc, libstdc++, winpthread) linked into each DLL,
# as into VEXA's programs: no mingw DLLs to ship beside Qt's.
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
EOF
}

build_qt() {
  if [ -f "$PREFIX/.vexa-stamp" ] && [ "$(cat "$PREFIX/.vexa-stamp")" = "$(stamp_text)" ]; then
    say "Qt $QT_VERSION for mingw-w64 is ready in $PREFIX"
    return 0
  fi
  local start=$SECONDS
  scripts/install-deps.sh cross-qt
  say "building Qt $QT_VERSION for mingw-w64 into $PREFIX (a first build takes tens of minutes)"
  rm -rf "$PREFIX"
  mkdir -p "$WORK"
  fetch_qt_source
  local build=$WORK/build
  if [ ! -f "$build/.vexa-configured" ] || [ "$(cat "$build/.vexa-configured")" != "$(stamp_text)" ]; then
    rm -rf "$build"
    mkdir -p "$build"
    write_toolchain >"$WORK/toolchain.cmake"
    local launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    say "configuring qtbase"
    cmake -S "$WORK/src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$WORK/toolchain.cmake" \
      -DCMAKE_INSTALL_PREFIX="$PREFIX" "${launcher[@]}" "${QT_OPTIONS[@]}" >"$WORK/configure.log" 2>&1 ||
      { tail -n 60 "$WORK/configure.log" >&2; say "configure failed (log: $WORK/configure.log)" >&2; exit 1; }
    stamp_text >"$build/.vexa-configured"
  else
    say "resuming the build in $build"
  fi
  # ninja's own [done/total] lines are the progress; one line in twenty is shown.
  say "compiling with $JOBS jobs"
  set +e
  cmake --build "$build" -j "$JOBS" 2>&1 | awk '/^\[[0-9]+\/[0-9]+\]/ { if (++n % 20 == 0) { print $1; fflush() } next } { print; fflush() }'
  local status=${PIPESTATUS[0]}
  set -e
  [ "$status" -eq 0 ] || { say "the Qt build failed (status $status)" >&2; exit 1; }
  say "installing into $PREFIX"
  cmake --install "$build" >/dev/null
  stamp_text >"$PREFIX/.vexa-stamp"
  # The build folder (about 1.5 GB) only served a resumed build.
  rm -rf "$build"
  say "Qt $QT_VERSION for mingw-w64 built in $((SECONDS - start)) s"
}

# EDFlib from Debian's edflib source. Debian 12's 1.23-1 cannot be fetched:
# the archive serves its .dsc but not its tarballs. The pool also holds
# Debian's 1.27-1 (of a later release), whose tarball is taken, checked
# against the SHA-256 its .dsc gives. Only edflib.c is compiled (Debian's
# patches touch the build files, the examples and the unit test).
EDFLIB_VERSION=1.27
EDFLIB_TARBALL=edflib_$EDFLIB_VERSION.orig.tar.xz
EDFLIB_SHA256=cae38490de993cb2e01b74559397457bca575e8b7378aba4aa92082ab502b5ed
EDFLIB_PREFIX=${VEXA_EDFLIB_MINGW:-$CACHE/edflib-$EDFLIB_VERSION-mingw}
EDFLIB_CFLAGS=(-O2 -D_LARGEFILE64_SOURCE -D_LARGEFILE_SOURCE)

edflib_stamp() {
  printf 'edflib %s %s x86_64-w64-mingw32 static\n' "$EDFLIB_VERSION" "$EDFLIB_SHA256"
  printf '%s\n' "${EDFLIB_CFLAGS[@]}"
  sha256sum <"$ROOT/scripts/cross-deps/edflib_utf8_fopen.c"
}

# A static library: the header's DLL export markings go. Its files are
# opened through vexa_edflib_fopen_utf8 (UTF-8 paths), not the ANSI fopen.
fix_edflib_source() {  # source folder
  sed -i '/^#define EDFLIB_SO_DLL$/d' "$1/edflib.h"
  sed -i 's|^#define EDFLIB_WRITE_MAX_ANNOTATION_LEN  (40)$|#undef fopeno\n#define fopeno vexa_edflib_fopen_utf8\nFILE *vexa_edflib_fopen_utf8(const char *path, const char *mode);\n\n&|' \
    "$1/edflib.c"
  if grep -q '^#define EDFLIB_SO_DLL' "$1/edflib.h" || ! grep -q '^#define fopeno vexa_edflib_fopen_utf8' "$1/edflib.c"; then
    say "EDFlib $EDFLIB_VERSION's source is not as expected: the fixes did not apply" >&2
    exit 1
  fi
}

build_edflib() {
  if [ -f "$EDFLIB_PREFIX/.vexa-stamp" ] && [ "$(cat "$EDFLIB_PREFIX/.vexa-stamp")" = "$(edflib_stamp)" ]; then
    say "EDFlib $EDFLIB_VERSION for mingw-w64 is ready in $EDFLIB_PREFIX"
    return 0
  fi
  scripts/install-deps.sh cross
  local work=$CACHE/edflib-$EDFLIB_VERSION-mingw-work url
  url=$(archive_mirror)/pool/main/e/edflib/$EDFLIB_TARBALL
  rm -rf "$work" "$EDFLIB_PREFIX"
  mkdir -p "$work" "$EDFLIB_PREFIX/include" "$EDFLIB_PREFIX/lib"
  say "downloading $url"
  curl -fsSL --retry 3 -o "$work/$EDFLIB_TARBALL" "$url" ||
    { say "could not download $url" >&2; exit 1; }
  echo "$EDFLIB_SHA256  $work/$EDFLIB_TARBALL" | sha256sum -c --quiet - ||
    { say "$EDFLIB_TARBALL is not the one Debian's edflib_$EDFLIB_VERSION-1.dsc names" >&2; exit 1; }
  tar -xJf "$work/$EDFLIB_TARBALL" -C "$work"
  local src=$work/edflib-$EDFLIB_VERSION cc=x86_64-w64-mingw32-gcc-posix
  fix_edflib_source "$src"
  $cc "${EDFLIB_CFLAGS[@]}" -c "$src/edflib.c" -o "$work/edflib.o"
  $cc "${EDFLIB_CFLAGS[@]}" -c "$ROOT/scripts/cross-deps/edflib_utf8_fopen.c" -o "$work/utf8_fopen.o"
  x86_64-w64-mingw32-ar rcs "$EDFLIB_PREFIX/lib/libedf.a" "$work/edflib.o" "$work/utf8_fopen.o"
  cp "$src/edflib.h" "$EDFLIB_PREFIX/include/"
  cp "$src/LICENSE" "$EDFLIB_PREFIX/LICENSE"
  edflib_stamp >"$EDFLIB_PREFIX/.vexa-stamp"
  rm -rf "$work"
  say "EDFlib $EDFLIB_VERSION for mingw-w64 built into $EDFLIB_PREFIX"
}

case "${1:-}" in
  qt) build_qt ;;
  edflib) build_edflib ;;
  prefix) echo "$PREFIX;$EDFLIB_PREFIX" ;;
  stamp) stamp_text ;;
  *) echo "usage: scripts/cross-deps.sh qt|edflib|prefix|stamp" >&2; exit 2 ;;
esac
