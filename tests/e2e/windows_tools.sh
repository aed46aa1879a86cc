#!/usr/bin/env bash
# The Windows command-line programs of the portable .zip under wine, beside
# the Linux ones: unpacked into a folder with Cyrillic letters and spaces,
# vexa-render.exe draws the format's worked example at the Linux size with
# the same colours in the same places (the fonts may differ), and
# vexa-render.exe and vexa-rec.exe exit with the Linux statuses for the same
# bad inputs, paths with Cyrillic letters and spaces included; the CSV and
# EDF+ exports hold what the Linux ones do.
#
# usage: tests/e2e/windows_tools.sh VEXA-PORTABLE.ZIP VEXA-RENDER VEXA-REC
#   (the Linux programs; wine64, ImageMagick's convert and compare, python3)
set -Eeuo pipefail
ZIP=$(readlink -f "$1") RENDER=$(readlink -f "$2") REC=$(readlink -f "$3")
WINE=${VEXA_WINE:-/usr/lib/wine/wine64}
# ImageMagick by its own path: another "convert" may come first on PATH.
CONVERT=$(command -v convert-im6.q16 || echo /usr/bin/convert)
WORK=$(mktemp -d)
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
cleanup() {
  /usr/lib/wine/wineserver -k 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
fail() { echo "windows tools: $*" >&2; exit 1; }
# A Unix path as wine's Z: drive names it.
win() { local p=$1; printf 'Z:%s' "${p//\//\\}"; }

folder="$WORK/Мои программы"
mkdir -p "$folder" "$WORK/записи с пробелами" "$WORK/cfg-linux"
(cd "$folder" && unzip -q "$ZIP")
EXE_RENDER="$folder/VEXA/vexa-render.exe" EXE_REC="$folder/VEXA/vexa-rec.exe"
[ -f "$EXE_RENDER" ] && [ -f "$EXE_REC" ] || fail "the .zip holds no VEXA/vexa-render.exe and vexa-rec.exe"
[ ! -e "$folder/VEXA/vexa.installed" ] || fail "the portable .zip carries the installer's marker"

data="$WORK/записи с пробелами"
# The format's worked example, as tests/tools/render_cli.sh writes it.
printf 'Format-Version: 2\r\nDevice-Name: Airo-510\t Flown-710\r\nChannels-Count: 2\r\nStarted-Record: 08.12.2026 14:23:05\r\nStopped-Record: 08.12.2026 14:23:21\r\nSample-Interval: 5.0\r\nDescription: test%78s\r\nData-Count:      3\r\nColumn-Header:\tV (l)\tM (l/min)\tMarks\r\nData-Color: 65280\t16711935\t\r\nData-AtmPressure: 760.0\r\nData-BodyMass: 80.0\r\nData-TempEnviroment: 20.0\r\nData-Humidity: 75.0\r\nData-Table:\r\n0.6\t12.5\t\r\n0.5\t11.9\tstart\r\n0.6\t12.2\t\r\n' ' ' >"$data/пример записи.vxa"
printf 'Format-Version: 3\r\n' >"$data/новее.vxa"
printf 'hello\r\n' >"$data/не запись.vxa"

# --- the picture ------------------------------------------------------------
export VEXA_CONFIG_DIR=$WORK/cfg-linux
QT_QPA_PLATFORM=offscreen "$RENDER" "$data/пример записи.vxa" --out "$WORK/linux.png" >/dev/null ||
  fail "the Linux vexa-render failed"
unset VEXA_CONFIG_DIR  # the portable program keeps its settings beside itself
"$WINE" "$EXE_RENDER" "$(win "$data/пример записи.vxa")" --out "$(win "$data/картинка 1.png")" \
  >"$WORK/render.out" 2>&1 || fail "vexa-render.exe failed: $(cat "$WORK/render.out")"
[ -s "$data/картинка 1.png" ] || fail "vexa-render.exe wrote no \"картинка 1.png\""
size_linux=$(identify -format '%wx%h' "$WORK/linux.png")
size_windows=$(identify -format '%wx%h' "$data/картинка 1.png")
[ "$size_linux" = "$size_windows" ] || fail "the picture is $size_windows on Windows, $size_linux on Linux"
# Each colour of the chart (background, the two traces, the axes' colours):
# the pixels of that colour, as a mask, must lie in the same places; the
# texts' pixels (other fonts) are a small share of any of them.
# (sed reads to the end: a reader that stops early would end the pipeline
# with SIGPIPE under pipefail)
colours=$("$CONVERT" "$WORK/linux.png" -format %c histogram:info:- | sort -rn |
          sed -n '1,6s/.*\(#[0-9A-F]\{6\}\).*/\1/p')
for colour in $colours; do
  for side in linux windows; do
    image=$WORK/linux.png
    [ $side = windows ] && image="$data/картинка 1.png"
    "$CONVERT" "$image" -alpha off -fill black +opaque "$colour" -fill white -opaque "$colour" "$WORK/mask-$side.png"
  done
  total=$("$CONVERT" "$WORK/mask-linux.png" -format '%[fx:int(mean*w*h)]' info:)
  differ=$(compare -metric AE "$WORK/mask-linux.png" "$WORK/mask-windows.png" null: 2>&1 || true)
  differ=${differ%% *}
  # At most 3 % of the colour's pixels (and 400 for a thin one) elsewhere.
  limit=$(( total * 3 / 100 > 400 ? total * 3 / 100 : 400 ))
  [ "${differ%.*}" -le "$limit" ] ||
    fail "colour $colour: $differ of its $total pixels differ between Linux and Windows"
  echo "vexa-render.exe: $colour in the same places ($differ of $total pixels differ)"
done
echo "vexa-render.exe: the worked example at $size_windows, as on Linux"

# --- exit statuses ----------------------------------------------------------
# status LINUX-PROGRAM WINDOWS-PROGRAM ARGS...: both exit with one status.
same_status() {
  local native=$1 exe=$2 linux=0 windows=0; shift 2
  local args=() wargs=() a
  for a in "$@"; do
    args+=("$a")
    if [[ "$a" == /* ]]; then wargs+=("$(win "$a")"); else wargs+=("$a"); fi
  done
  VEXA_CONFIG_DIR=$WORK/cfg-linux QT_QPA_PLATFORM=offscreen "$native" "${args[@]}" >/dev/null 2>&1 || linux=$?
  "$WINE" "$exe" "${wargs[@]}" >"$WORK/exe.out" 2>&1 || windows=$?
  [ "$linux" = "$windows" ] ||
    fail "$(basename "$exe") $*: status $windows, on Linux $linux: $(tr -d '\r' <"$WORK/exe.out" | head -n 3)"
  echo "$(basename "$exe") ${args[*]##*/}: status $windows on both"
}
ex="$data/пример записи.vxa"
same_status "$RENDER" "$EXE_RENDER"
same_status "$RENDER" "$EXE_RENDER" "$ex"
same_status "$RENDER" "$EXE_RENDER" "$ex" --out "$data/x.jpg"
same_status "$RENDER" "$EXE_RENDER" "$ex" --out "$data/x.png" --size 0x10
same_status "$RENDER" "$EXE_RENDER" "$ex" --bogus
same_status "$RENDER" "$EXE_RENDER" "$ex" --out "$data/x.pdf" --size 300x200
same_status "$RENDER" "$EXE_RENDER" "$data/нет такой.vxa" --out "$data/x.png"
same_status "$RENDER" "$EXE_RENDER" "$data/новее.vxa" --out "$data/x.png"
same_status "$RENDER" "$EXE_RENDER" "$data/не запись.vxa" --out "$data/x.png"
same_status "$RENDER" "$EXE_RENDER" "$ex" --out "$data/нет папки/x.png"
same_status "$REC" "$EXE_REC"
same_status "$REC" "$EXE_REC" bogus
same_status "$REC" "$EXE_REC" info "$ex"
same_status "$REC" "$EXE_REC" info "$data/нет такой.vxa"
same_status "$REC" "$EXE_REC" info "$data/новее.vxa"
same_status "$REC" "$EXE_REC" info "$data/не запись.vxa"
same_status "$REC" "$EXE_REC" export "$ex" --csv "$data/нет папки/x.csv"
same_status "$REC" "$EXE_REC" export "$ex" --csv "$ex"
same_status "$REC" "$EXE_REC" record --port 5 --interval 0
same_status "$REC" "$EXE_REC" monitor --port 99 --seconds 1
same_status "$REC" "$EXE_REC" config extra
# The CSV export, byte for byte as on Linux.
VEXA_CONFIG_DIR=$WORK/cfg-linux "$REC" export "$ex" --csv "$WORK/linux.csv" >/dev/null
"$WINE" "$EXE_REC" export "$(win "$ex")" --csv "$(win "$data/таблица 1.csv")" >/dev/null 2>&1 ||
  fail "vexa-rec.exe export --csv failed"
cmp "$WORK/linux.csv" "$data/таблица 1.csv" || fail "the CSV export differs from the Linux one"
echo "vexa-rec.exe: the CSV export into \"таблица 1.csv\" equals the Linux one"
# The EDF+ export: the same recording as the Linux one (EDFlib 1.27 on Windows,
# Debian 12's 1.23 on Linux: annotation space and onset decimals differ), into
# a name with Cyrillic letters and a space; and the same refusals.
same_status "$REC" "$EXE_REC" export "$ex" --edf "$data/нет папки/x.edf"
same_status "$REC" "$EXE_REC" export "$ex" --edf "$data/новее.vxa"
VEXA_CONFIG_DIR=$WORK/cfg-linux "$REC" export "$ex" --edf "$WORK/linux.edf" >/dev/null
"$WINE" "$EXE_REC" export "$(win "$ex")" --edf "$(win "$data/запись 1.edf")" >"$WORK/edf.out" 2>&1 ||
  fail "vexa-rec.exe export --edf failed: $(tr -d '\r' <"$WORK/edf.out")"
python3 "$(dirname "$0")/edf_same_content.py" "$WORK/linux.edf" "$data/запись 1.edf" ||
  fail "the EDF+ export differs from the Linux one"
echo "vexa-rec.exe: the EDF+ export into \"запись 1.edf\" holds what the Linux one does"
echo "windows tools: passed"
