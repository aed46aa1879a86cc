#!/usr/bin/env bash
# The Debian package as an operator gets it:
#   - lintian finds no error or warning;
#   - the desktop entry and the AppStream metainfo validate;
#   - with the package's MIME data, xdg-mime names a recording's type by its
#     name (*.vxa) and by its first line;
#   - installed with apt into a clean Debian 12 root (debootstrap, minbase),
#     its programs find every library, vexa-rec --help answers, a root user's
#     settings go to ~/.config/vexa (not the writable /usr/bin) and make
#     ~/Documents/VEXA, a recording from vexa-flowsim lands there (made again
#     after it was removed), and vexa-render draws it into a PNG and a PDF
#     page without a display.
# The bootstrapped root and the packages apt fetched are kept under
# build/package-root/, so a second run neither bootstraps nor downloads.
# Needs root (debootstrap, chroot, a pseudo-terminal file system).
# usage: tests/package/check_package.sh VEXA.deb
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "check_package: needs root (debootstrap, chroot, mount)" >&2; exit 2; }
deb=$(realpath "$1")
repo=$(cd "$(dirname "$0")/../.." && pwd)
cache=$repo/build/package-root
work=$(mktemp -d /var/tmp/vexa-package.XXXXXX)
root=$work/root
cleanup() {
  mountpoint -q "$root/dev/pts" 2>/dev/null && umount "$root/dev/pts"
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT
fail() { echo "check_package: $*" >&2; exit 1; }
step() { printf -- '-- %s\n' "$*"; }

step "lintian"
lintian --fail-on error,warning "$deb" 2>&1 | grep -v "running with root privileges" || true
lintian --fail-on error,warning "$deb" >/dev/null 2>&1 || fail "lintian reports errors or warnings"

mkdir -p "$work/files"
dpkg-deb -x "$deb" "$work/files"
share=$work/files/usr/share
for f in usr/bin/vexa-rec usr/bin/vexa-render usr/bin/vexa-flowsim \
         usr/share/man/man1/vexa-rec.1.gz usr/share/man/man1/vexa-render.1.gz \
         usr/share/man/man1/vexa-flowsim.1.gz usr/share/mime/packages/vexa.xml \
         usr/share/icons/hicolor/scalable/apps/vexa.svg usr/share/icons/hicolor/48x48/apps/vexa.png \
         usr/share/doc/vexa/copyright usr/share/doc/vexa/changelog.Debian.gz; do
  [ -e "$work/files/$f" ] || fail "the package lacks /$f"
done
if [ -e "$work/files/usr/bin/vexa" ]; then
  for f in usr/share/applications/vexa.desktop usr/share/man/man1/vexa.1.gz \
           usr/share/metainfo/org.example.vexa.metainfo.xml; do
    [ -e "$work/files/$f" ] || fail "the package has vexa but lacks /$f"
  done
  step "vexa is in the package, with its desktop entry and metainfo"
else
  step "no desktop program in this build: its entry and metainfo are checked from packaging/"
fi

step "desktop-file-validate, appstreamcli validate"
desktop-file-validate "$repo/packaging/vexa.desktop" || fail "the desktop entry does not validate"
grep -qx 'Exec=vexa %f' "$repo/packaging/vexa.desktop" || fail "the desktop entry does not pass the file"
appstreamcli validate --no-net --pedantic "$repo/packaging/vexa.metainfo.xml" ||
  fail "the metainfo does not validate"

step "xdg-mime with the package's MIME data"
update-mime-database "$share/mime" >/dev/null
printf 'Format-Version: 2\r\nDevice-Name: Airo-510\t Flown-710\r\n' >"$work/a.vxa"
cp "$work/a.vxa" "$work/recording-without-extension"
printf 'a note\n' >"$work/note.txt"
mime() { XDG_DATA_DIRS=$share:/usr/share xdg-mime query filetype "$1"; }
for f in a.vxa recording-without-extension; do
  [ "$(mime "$work/$f")" = application/x-vexa-recording ] ||
    fail "xdg-mime names $f $(mime "$work/$f"), not application/x-vexa-recording"
done
[ "$(mime "$work/note.txt")" = text/plain ] || fail "xdg-mime names note.txt $(mime "$work/note.txt")"
echo "a.vxa and a recording without its extension: application/x-vexa-recording"

# The clean root: bootstrapped once, apt's package lists included.
mirror=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
[ -n "$mirror" ] || mirror=$(awk '$1=="deb"{print $2; exit}' /etc/apt/sources.list 2>/dev/null || true)
[ -n "$mirror" ] || mirror=http://deb.debian.org/debian
if [ ! -s "$cache/bookworm-minbase.tar" ]; then
  step "debootstrap --variant=minbase bookworm (kept in $cache)"
  mkdir -p "$cache/archives"
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -5 "$work/debootstrap.log"; fail "debootstrap failed"; }
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  chroot "$root" apt-get update -qq
  tar -C "$root" -cf "$cache/bookworm-minbase.tar.part" .
  mv "$cache/bookworm-minbase.tar.part" "$cache/bookworm-minbase.tar"
else
  step "the clean root from $cache"
  mkdir -p "$root"
  tar -C "$root" -xf "$cache/bookworm-minbase.tar"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
fi

step "apt install ./$(basename "$deb") in the clean root"
cp "$cache"/archives/*.deb "$root/var/cache/apt/archives/" 2>/dev/null || true
cp "$deb" "$root/tmp/"
chroot "$root" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "/tmp/$(basename "$deb")" >"$work/apt.log" 2>&1 || { tail -20 "$work/apt.log"; fail "apt could not install the package"; }
find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -n {} "$cache/archives/" \;
grep -o 'Unpacking [^ ]*' "$work/apt.log" | sed 's/Unpacking //' | tr '\n' ' ' | fold -s -w 100
echo

# A pseudo-terminal file system of the root's own, for vexa-flowsim.
mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$root/dev/pts"
rm -f "$root/dev/ptmx"
ln -s pts/ptmx "$root/dev/ptmx"
printf 'Format-Version: 2\r\nDevice-Name: Airo-510\t Flown-710\r\nChannels-Count: 2\r\nStarted-Record: 08.12.2026 14:23:05\r\nStopped-Record: 08.12.2026 14:23:21\r\nSample-Interval: 5.0\r\nDescription: installed%73s\r\nData-Count:      3\r\nColumn-Header:\tV (l)\tM (l/min)\tMarks\r\nData-Color: 65280\t16711935\t\r\nData-AtmPressure: 760.0\r\nData-BodyMass: 80.0\r\nData-TempEnviroment: 20.0\r\nData-Humidity: 75.0\r\nData-Table:\r\n0.6\t12.5\t\r\n0.5\t11.9\tstart\r\n0.6\t12.2\t\r\n' ' ' >"$root/tmp/example.vxa"

step "in the clean root, as root (whose /usr/bin is writable)"
cat >"$root/tmp/check.sh" <<'EOF'
set -eu
export HOME=/root LANG=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_CONFIG_HOME XDG_DOCUMENTS_DIR VEXA_CONFIG_DIR
for p in /usr/bin/vexa /usr/bin/vexa-rec /usr/bin/vexa-render /usr/bin/vexa-flowsim; do
  [ -e "$p" ] || continue
  if ldd "$p" | grep 'not found'; then echo "$p: libraries missing" >&2; exit 1; fi
done
vexa-rec --help | head -n 1
vexa-rec --version
vexa-rec config >/tmp/config.out
grep -x "DirHistory\[0\]: /root/Documents/VEXA" /tmp/config.out
[ -f /root/.config/vexa/vexa.cfg ] || { echo "no /root/.config/vexa/vexa.cfg" >&2; exit 1; }
[ ! -e /usr/bin/vexa.cfg ] || { echo "the settings went to /usr/bin" >&2; exit 1; }
[ -d /root/Documents/VEXA ] || { echo "the first run made no /root/Documents/VEXA" >&2; exit 1; }
# Removed by the user: the next recording makes it again.
rm -r /root/Documents
vexa-flowsim --link /tmp/flowmeter --constant 3.00,15,7.5 >/dev/null &
sim=$!
for _ in $(seq 100); do [ -e /tmp/flowmeter ] && break; sleep 0.05; done
file=$(VEXA_COM2=/tmp/flowmeter vexa-rec record --port 2 --interval 0.2 --samples 3 \
         --postfix installed 2>/dev/null | tail -n 1)
kill $sim
case "$file" in
  /root/Documents/VEXA/*" installed.vxa") echo "recorded $file" ;;
  *) echo "the recording went to '$file', not /root/Documents/VEXA" >&2; exit 1 ;;
esac
grep -q "^Data-Count:      3" "$file" || { echo "$file: not 3 rows" >&2; exit 1; }
vexa-render "$file" --out /tmp/recorded.png
vexa-render /tmp/example.vxa --out /tmp/example.pdf
[ "$(head -c 4 /tmp/recorded.png | od -An -c | tr -d ' ')" = '211PNG' ] || { echo "no PNG" >&2; exit 1; }
[ "$(head -c 5 /tmp/example.pdf)" = '%PDF-' ] || { echo "no PDF" >&2; exit 1; }
if [ -e /usr/bin/vexa ]; then
  # The desktop program comes up with a recording named as the desktop
  # entry names it (Exec=vexa %f) and is still running seconds later.
  status=0
  QT_QPA_PLATFORM=offscreen timeout 5 vexa "$file" >/tmp/vexa.log 2>&1 || status=$?
  [ $status -eq 124 ] || { cat /tmp/vexa.log; echo "vexa ended with status $status" >&2; exit 1; }
  echo "vexa ran for 5 s with $file"
fi
EOF
chroot "$root" /bin/sh /tmp/check.sh || fail "the installed programs failed in the clean root"
cp "$root/tmp/recorded.png" "$cache/last-recorded.png"  # to look at
echo "package checks passed: $(basename "$deb"), $(stat -c %s "$deb") bytes"
