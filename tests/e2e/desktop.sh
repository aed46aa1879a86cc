#!/usr/bin/env bash
# The desktop program end to end, as a new user drives it: the simulated
# flow meter on COM2, a fresh settings folder, real key presses sent by
# xdotool to the windows under Xvfb (there is no window manager, so a window
# gets the keyboard with `xdotool windowfocus`).
#
#   type the interval 0.5 into the control panel, F5; after 2 s Ctrl+M from
#   the monitor window, type a mark, Enter; after 2 more s Shift+F5 from the
#   monitor; move and size the windows; Ctrl+Q on the control panel.
#
# Then the recording must be complete (stop time, row count, the mark on its
# row) and vexa.cfg must hold the interval and both windows' places. The
# same again with the language set to Russian, where the windows carry the
# Russian titles.
#
# usage: tests/e2e/desktop.sh VEXA VEXA-FLOWSIM VEXA-REC
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
VEXA=$1 FLOWSIM=$2 REC=$3
# Under the sanitizers: libxkbcommon-x11 hands strndup() bounded names with
# no terminating zero, which strict string checks take for an overflow; and
# libdbus keeps an allocation to the end. Neither is VEXA's; everything else
# stays checked.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/lsan.supp"
WORK=$(mktemp -d)
SIM="" APP=""
cleanup() {
  [ -n "$APP" ] && kill "$APP" 2>/dev/null || true
  [ -n "$SIM" ] && kill "$SIM" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "desktop e2e: $*" >&2
  for log in "$WORK"/vexa-*.log; do
    [ -s "$log" ] && { echo "--- $log" >&2; tail -n 60 "$log" >&2; }
  done
  exit 1
}

# The window whose title is exactly $1 (waits up to 10 s for it).
window() {
  local id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  fail "no window titled \"$1\""
}

# Keys into a window: it gets the keyboard first.
keys() {
  local id=$1; shift
  xdotool windowfocus --sync "$id"
  xdotool "$@"
}

setting() { VEXA_CONFIG_DIR=$1 "$REC" config | sed -n "s/^$2: //p"; }

expect_setting() {
  local got
  got=$(setting "$1" "$2")
  [ "$got" = "$3" ] || fail "vexa.cfg $2 is \"$got\", expected \"$3\""
}

session() {  # language, panel title, monitor title, recording title prefix, mark
  local language=$1 panel_title=$2 monitor_title=$3 recording_prefix=$4 mark=$5
  local cfg=$WORK/settings-$language meter=$WORK/meter-$language
  mkdir -p "$cfg"
  VEXA_CONFIG_DIR=$cfg "$REC" config >/dev/null  # a new vexa.cfg with the defaults
  # Language is the int32 at offset 128.
  printf "\\x0$language" | dd of="$cfg/vexa.cfg" bs=1 seek=128 conv=notrunc status=none

  "$FLOWSIM" --link "$meter" >/dev/null &
  SIM=$!
  for _ in $(seq 50); do [ -e "$meter" ] && break; sleep 0.1; done
  VEXA_COM2=$meter VEXA_CONFIG_DIR=$cfg "$VEXA" >"$WORK/vexa-$language.log" 2>&1 &
  APP=$!

  local panel monitor dialog
  panel=$(window "$panel_title")
  monitor=$(window "$monitor_title")
  echo "language $language: \"$(xdotool getwindowname "$panel")\" and \"$(xdotool getwindowname "$monitor")\""

  keys "$panel" key --clearmodifiers ctrl+a type --delay 50 0.5
  keys "$panel" key F5
  for _ in $(seq 50); do compgen -G "$cfg/*.vxa" >/dev/null && break; sleep 0.1; done
  local file
  file=$(compgen -G "$cfg/*.vxa" | head -n 1) || fail "F5 made no recording file"
  sleep 2
  keys "$monitor" key ctrl+m
  dialog=$(window "$( [ "$language" = 1 ] && echo "VEXA: Метки" || echo "VEXA:  Marks")")
  keys "$dialog" type --delay 50 "$mark"
  keys "$dialog" key Return
  local title
  title=$(xdotool getwindowname "$monitor")
  [[ "$title" == "$recording_prefix"* ]] || fail "monitor titled \"$title\" while recording"
  sleep 2
  keys "$monitor" key shift+F5

  xdotool windowmove "$panel" 600 100 windowmove "$monitor" 20 30 windowsize "$monitor" 640 480
  sleep 0.5
  keys "$panel" key ctrl+q
  for _ in $(seq 100); do kill -0 "$APP" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$APP" 2>/dev/null && fail "Ctrl+Q did not end the program"
  wait "$APP" || fail "vexa ended with status $?"
  APP=""
  kill "$SIM" && wait "$SIM" 2>/dev/null || true
  SIM=""

  # The recording: completed header, as many rows as it says, the mark on one.
  local stopped count rows marked
  stopped=$(sed -n 's/^Stopped-Record: \(.*\)\r$/\1/p' "$file")
  count=$(sed -n 's/^Data-Count: *\([0-9]*\)\r$/\1/p' "$file")
  [ -n "$stopped" ] || fail "no stop time in $file"
  [ -n "$count" ] || fail "no row count in $file (the placeholder is still there)"
  rows=$(sed '1,/^Data-Table:/d' "$file" | wc -l)
  [ "$rows" -eq "$count" ] || fail "$file says $count rows and holds $rows"
  [ "$count" -ge 6 ] && [ "$count" -le 12 ] || fail "$count rows for about 4 s at 0.5 s"
  marked=$(sed '1,/^Data-Table:/d' "$file" | iconv -f CP1251 -t UTF-8 | grep -n "	$mark"$'\r$' | cut -d: -f1)
  [ -n "$marked" ] || fail "the mark \"$mark\" is on no row of $file"
  [ "$marked" -ge 3 ] && [ "$marked" -le "$count" ] || fail "the mark is on row $marked of $count"
  echo "language $language: $file: $count rows, stopped $stopped, \"$mark\" on row $marked"

  expect_setting "$cfg" SampleInterval 0.5
  expect_setting "$cfg" ControlLeft 600
  expect_setting "$cfg" ControlTop 100
  expect_setting "$cfg" MonitorLeft 20
  expect_setting "$cfg" MonitorTop 30
  expect_setting "$cfg" MonitorWidth 640
  expect_setting "$cfg" MonitorHeight 480
  expect_setting "$cfg" Language "$language"
}

session 0 "VEXA:  Control panel" "VEXA:  Monitor" "Record to file: \"" "deep breath"
session 1 "VEXA: Панель управления" "VEXA: Монитор" "Запись в файл: \"" "вдох"
echo "desktop e2e: passed"
