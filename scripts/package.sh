#!/usr/bin/env bash
# Builds VEXA's packages. Installs what is missing first; the packages'
# paths are the last lines printed.
#   scripts/package.sh [deb]   the Debian package: a Release build with the
#       installed layout (settings in ~/.config/vexa, recordings in
#       ~/Documents/VEXA) and Debian's hardening flags, then CPack's DEB
#       generator.  sudo apt install ./build/package/vexa_*.deb
#   scripts/package.sh windows the Windows installer (NSIS) and the portable
#       .zip, cross-built with mingw-w64 and the Qt and EDFlib
#       scripts/cross-deps.sh builds (tens of minutes the first time): build/windows/VEXA-*-setup.exe
#       and build/windows/VEXA-*-portable.zip. VEXA_WINDOWS_BUILD names
#       another build folder (the windows stage of scripts/test.sh passes
#       its own, tests included).
set -euo pipefail
cd "$(dirname "$0")/.."

windows() {
  scripts/install-deps.sh cross cross-qt win-package >&2
  scripts/cross-deps.sh qt >&2
  scripts/cross-deps.sh edflib >&2
  local prefixes dir=${VEXA_WINDOWS_BUILD:-build/windows-release} out=build/windows
  prefixes=$(scripts/cross-deps.sh prefix)
  local version
  version=$(sed -n 's/^project(vexa VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  local args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake"
              -DVEXA_BUILD_GUI=ON -DVEXA_EDF_EXPORT=ON -DCMAKE_PREFIX_PATH="$prefixes")
  # A folder of its own builds the programs only; one already configured
  # (the windows stage's) keeps its own choices.
  [ -f "$dir/CMakeCache.txt" ] || args+=(-DVEXA_BUILD_TESTS=OFF)
  cmake -S . -B "$dir" -G Ninja "${args[@]}" >&2
  cmake --build "$dir" -j "$(nproc)" --target vexa vexa-render vexa-rec >&2
  local stage=$out/VEXA
  rm -rf "$out"
  mkdir -p "$out"
  cmake --install "$dir" --prefix "$stage" >/dev/null
  x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/*.dll "$stage"/*/*.dll
  # The uninstaller removes exactly these files, and the folders they are in.
  local files=$out/uninstall-files.nsh f
  : >"$files"
  (cd "$stage" && find . -type f | sort) | while read -r f; do
    f=${f#./}
    printf 'Delete "$INSTDIR\\%s"\n' "${f//\//\\}" >>"$files"
  done
  (cd "$stage" && find . -mindepth 1 -type d | sort -r) | while read -r f; do
    f=${f#./}
    printf 'RMDir "$INSTDIR\\%s"\n' "${f//\//\\}" >>"$files"
  done
  local setup=$out/VEXA-$version-setup.exe zip=$out/VEXA-$version-portable.zip
  makensis -V2 -DVERSION="$version" -DSTAGE="$PWD/$stage" -DFILES="$PWD/$files" \
    -DOUTFILE="$PWD/$setup" packaging/windows/vexa.nsi >&2
  # The portable folder: settings beside the program (no vexa.installed).
  (cd "$out" && zip -qr9X "$(basename "$zip")" VEXA)
  echo "$PWD/$setup"
  echo "$PWD/$zip"
}

if [ "${1:-deb}" = windows ]; then
  windows
  exit 0
elif [ "${1:-deb}" != deb ]; then
  echo "usage: scripts/package.sh [deb|windows]" >&2
  exit 2
fi

scripts/install-deps.sh base gui package >&2

DIR=build/package
# Debian's flags (stack protector, fortified functions, full RELRO), without
# -g: the programs are stripped anyway.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS | sed 's/\(^\| \)-g\( \|$\)/ /') $(dpkg-buildflags --get CPPFLAGS)"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS | sed 's/\(^\| \)-g\( \|$\)/ /') $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CFLAGS CXXFLAGS LDFLAGS
cmake -S . -B "$DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DVEXA_BUILD_TESTS=OFF -DVEXA_INSTALLED_LAYOUT=ON -DVEXA_PACKAGE=ON >&2
cmake --build "$DIR" -j "$(nproc)" >&2
rm -f "$DIR"/vexa_*.deb
(cd "$DIR" && cpack -G DEB) >&2
deb=$(ls "$DIR"/vexa_*.deb)
echo "$PWD/$deb"
