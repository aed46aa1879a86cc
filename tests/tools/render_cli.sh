#!/usr/bin/env bash
# vexa-render from the command line: the image and the page it writes, its exit statuses,
# and every file of the fuzz corpora (broken, hostile, newer) answered with
# its status and one line, never a crash.
# usage: render_cli.sh VEXA_RENDER FUZZ_CORPUS_DIR
set -uo pipefail
render=$1
corpus=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VEXA_CONFIG_DIR=$work ASAN_OPTIONS=${ASAN_OPTIONS:-}:exitcode=86 UBSAN_OPTIONS=${UBSAN_OPTIONS:-}:exitcode=86
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM  # it must find its way without a display
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect STATUS LINES ARGS...: the exit status and the number of stderr lines.
expect() {
  local want=$1 lines=$2; shift 2
  "$render" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "vexa-render $* exited $got, expected $want: $(cat "$work/err")"
  if [ "$lines" -ge 0 ]; then
    local n
    n=$(wc -l <"$work/err")
    [ "$n" -eq "$lines" ] || fail "vexa-render $* wrote $n lines on stderr, expected $lines: $(cat "$work/err")"
  fi
}

example="$work/example.vxa"
printf 'Format-Version: 2\r\nDevice-Name: Airo-510\t Flown-710\r\nChannels-Count: 2\r\nStarted-Record: 08.12.2026 14:23:05\r\nStopped-Record: 08.12.2026 14:23:21\r\nSample-Interval: 5.0\r\nDescription: test%78s\r\nData-Count:      3\r\nColumn-Header:\tV (l)\tM (l/min)\tMarks\r\nData-Color: 65280\t16711935\t\r\nData-AtmPressure: 760.0\r\nData-BodyMass: 80.0\r\nData-TempEnviroment: 20.0\r\nData-Humidity: 75.0\r\nData-Table:\r\n0.6\t12.5\t\r\n0.5\t11.9\tstart\r\n0.6\t12.2\t\r\n' ' ' >"$example"

expect 0 0 "$example" --out "$work/a.png"
[ "$(head -c 8 "$work/a.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "a.png is not a PNG"
grep -qx "$work/a.png" "$work/out" || fail "the output path is not printed"
expect 0 0 "$example" --out "$work/b.bmp" --size 300x200
[ "$(head -c 2 "$work/b.bmp")" = BM ] || fail "b.bmp is not a BMP"
# Width and height are the BMP header's little-endian int32 at 18 and 22.
[ "$(od -An -tu4 -j18 -N8 "$work/b.bmp" | tr -s ' ')" = " 300 200" ] || fail "b.bmp is not 300x200"

# A printed page: one A4 page, landscape by default, its title lines as text.
expect 0 0 "$example" --out "$work/p.pdf"
pdftotext "$work/p.pdf" - | grep -qx "File : example.vxa" || fail "p.pdf: no file line: $(pdftotext "$work/p.pdf" - | head -5)"
pdfinfo "$work/p.pdf" | grep -Eq "^Page size: +842 x 595 pts" || fail "p.pdf is not landscape A4: $(pdfinfo "$work/p.pdf")"
expect 2 -1 "$example" --out "$work/x.pdf" --size 300x200  # a page has no pixel size
expect 4 1 "$example" --out "$work/no/such/folder/x.pdf"
[ ! -e "$work/x.pdf" ] || fail "a refused page left x.pdf"

QT_LOGGING_RULES="vexa.chart.paint.debug=true" "$render" "$example" --out "$work/c.png" 2>"$work/log" >/dev/null
grep -Eq 'paint [0-9]+\.[0-9]{2} ms 9 points 1280x720' "$work/log" || fail "no paint line: $(cat "$work/log")"

expect 2 -1                                        # no arguments: usage
expect 2 -1 "$example"                             # no --out
expect 2 -1 "$example" --out "$work/x.jpg"         # unknown image type
expect 2 -1 "$example" --out "$work/x.png" --size 0x10
expect 2 -1 "$example" --out "$work/x.png" --size 10
expect 2 -1 "$example" --bogus
expect 1 1 "$work/missing.vxa" --out "$work/x.png"
printf 'Format-Version: 3\r\n' >"$work/newer.vxa"
expect 2 1 "$work/newer.vxa" --out "$work/x.png"
printf 'hello\r\n' >"$work/other.vxa"
expect 3 1 "$work/other.vxa" --out "$work/x.png"
expect 4 1 "$example" --out "$work/no/such/folder/x.png"

# Hostile files: the status of a reader's answer (0 to 3) and at most one line.
for f in "$corpus"/*/*; do
  "$render" "$f" --out "$work/fuzz.png" --size 320x200 >/dev/null 2>"$work/err"
  status=$?
  [ "$status" -le 3 ] || fail "$f: exit status $status: $(head -c 2000 "$work/err")"
  [ "$(wc -l <"$work/err")" -le 1 ] || fail "$f: more than one line: $(head -c 2000 "$work/err")"
done

[ "$failures" -eq 0 ] && echo "vexa-render: all checks passed"
exit $((failures > 0))
