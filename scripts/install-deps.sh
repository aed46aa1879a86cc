#!/usr/bin/env bash
# Installs the Debian 12 packages a build needs, only those that are missing.
# usage: scripts/install-deps.sh [base] [gui] [sanitize] [fuzz] [cross] [cross-qt] [win-package] [bench] [ccache] [e2e] [readers] [edfview] [package]
set -euo pipefail

declare -A GROUP=(
  # EDFlib (libedf-dev) writes the EDF+ exports.
  [base]="cmake ninja-build g++ libgtest-dev googletest locales libedf-dev tzdata"
  # Qt 6 for the painter, the windows and vexa-render; a font for the offscreen
  # platform to draw texts with; poppler's pdftotext and pdfinfo read printed
  # pages back in the tests; a CUPS server (cups-daemon, with lpadmin and
  # lpstat from cups-client) and its PDF printer (printer-driver-cups-pdf),
  # which the print window's test runs privately on a socket of its own.
  # Qt's own Russian texts (the standard dialogs, edit menus) come with
  # qt6-translations-l10n.
  [gui]="qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl-dev fonts-dejavu-core poppler-utils cups-daemon cups-client printer-driver-cups-pdf"
  [sanitize]="g++"
  [fuzz]="clang libclang-rt-14-dev"
  # rsvg-convert (librsvg2-bin) and icotool (icoutils) make the programs'
  # icon resource from the SVG; curl and xz-utils fetch and unpack EDFlib's
  # source (scripts/cross-deps.sh edflib); python3 compares the Windows
  # program's EDF+ export with the Linux one's.
  [cross]="g++-mingw-w64-x86-64-posix wine64 googletest librsvg2-bin icoutils curl xz-utils ca-certificates python3"
  # Qt for Windows, built from Debian's qt6-base source (scripts/cross-deps.sh):
  # dpkg-dev unpacks the source package; the native Qt (qt6-base-dev,
  # qt6-base-dev-tools) gives the host tools moc, rcc and uic.
  [cross-qt]="g++-mingw-w64-x86-64-posix dpkg-dev cmake ninja-build qt6-base-dev qt6-base-dev-tools"
  # The Windows installer (NSIS: makensis, 64-bit, Unicode), the portable
  # .zip (zip; unzip for its test), and Qt's own Russian texts shipped
  # beside the programs (qt6-translations-l10n, the same 6.4.2).
  [win-package]="nsis zip unzip qt6-translations-l10n"
  [bench]="libbenchmark-dev"
  # scripts/test.sh compiles through a compiler cache.
  [ccache]="ccache"
  # A reader of EDF+ written elsewhere, MNE-Python, reads the exports back.
  [readers]="python3-mne"
  # EDFbrowser under a window manager, for looking at an export (by hand).
  [edfview]="edfbrowser openbox"
  # The desktop program end to end: a virtual X server, a window manager
  # (openbox: stacking, focus and modal windows as on a workstation), key
  # presses, window titles and the stacking order (xprop), a Russian keyboard
  # layout beside the English one (setxkbmap) for typing Cyrillic marks,
  # screenshots; iconv reads the recordings' Windows-1251 marks.
  [e2e]="xvfb xauth openbox xdotool x11-utils x11-xkb-utils imagemagick libc-bin"
  # The Debian package and its checks: dpkg-shlibdeps (dpkg-dev) and file
  # find the runtime packages of what the programs link; rsvg-convert
  # (librsvg2-bin) renders the icon's PNG sizes; lintian, desktop-file-utils
  # and appstream check what is installed; shared-mime-info, xdg-utils and
  # libfile-mimeinfo-perl (xdg-mime's reader of the MIME database outside a
  # desktop) show a .vxa file's type; debootstrap makes the clean Debian 12
  # root the package is installed into.
  [package]="dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl debootstrap"
)

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(base)

wanted=()
for g in "${groups[@]}"; do
  [ -n "${GROUP[$g]+x}" ] || { echo "install-deps: unknown group '$g'" >&2; exit 2; }
  for p in ${GROUP[$g]}; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || wanted+=("$p")
  done
done
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [ ${#wanted[@]} -gt 0 ]; then
  echo "install-deps: installing ${wanted[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${wanted[@]}" >/dev/null
fi

# The tests check that files keep "." decimals under a Russian locale, whose
# decimal separator is ",": the machine needs that locale compiled.
if [[ " ${groups[*]} " == *" base "* ]] && ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  $SUDO localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi
