#!/usr/bin/env bash
# Builds the Debian package of VEXA: a Release build with the installed
# layout (settings in ~/.config/vexa, recordings in ~/Documents/VEXA) and
# Debian's hardening flags, then CPack's DEB generator. Installs what is
# missing first. The .deb's path is the last line printed.
# usage: scripts/package.sh
#   sudo apt install ./build/package/vexa_*.deb     (installs it with its dependencies)
set -euo pipefail
cd "$(dirname "$0")/.."
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
