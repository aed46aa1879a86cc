#!/usr/bin/env bash
# The desktop program end to end, as a new user drives it: the simulated
# flow meter on COM2, a fresh settings folder, real key presses sent by
# xdotool to the windows under Xvfb with a window manager (openbox), which
# gives the windows their frames, their stacking and the keyboard.
#
#   type the interval 0.5 into the control panel, F5; after 2 s Ctrl+M from
#   the monitor window, type a mark, Enter; Ctrl+B twice (two chart
#   pictures beside the recording); after 2 more s Shift+F5 from the
#   monitor; Ctrl+P and Ctrl+O open the print and open-recording windows,
#   Escape closes each; move and size the windows; Ctrl+Q on the control
#   panel.
#
# A second vexa started on the same settings folder must say so, end, and
# bring the running one's panel to the front.
#
# Then the recording must be complete (stop time, row count, the mark on its
# row) and vexa.cfg must hold the interval and both windows' places. The
# same again with the language set to Russian, where the windows carry the
# Russian titles.
#
# usage: tests/e2e/desktop.sh VEXA VEXA-FLOWSIM VEXA-REC
set -Eeuo pipefail

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
. "$(dirname "$0")/x11.sh"
cleanup() {
  [ -n "$APP" ] && kill "$APP" 2>/dev/null || true
  [ -n "$SIM" ] && kill "$SIM" 2>/dev/null || true
  stop_wm
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

# A window that a key opens, titled $3, closed again by Escape.
opens_and_closes() {  # from-window, key, title
  local id
  keys "$1" key "$2"
  id=$(window "$3")
  keys "$id" key Escape
  gone "$id" "$3"
  echo "$2 opened \"$3\""
}

setting() { VEXA_CONFIG_DIR=$1 "$REC" config | sed -n "s/^$2: //p"; }

expect_setting() {
  local got
  got=$(setting "$1" "$2")
  [ "$got" = "$3" ] || fail "vexa.cfg $2 is \"$got\", expected \"$3\""
}

session() {  # language, panel title, monitor title, recording title prefix, mark, print title, open title
  local language=$1 panel_title=$2 monitor_title=$3 recording_prefix=$4 mark=$5
  local print_title=$6 open_title=$7
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

  # A second start on the same settings folder says so and ends, writing
  # nothing; the running program comes to the front and runs on.
  xdotool windowactivate --sync "$monitor" 2>/dev/null || true
  VEXA_CONFIG_DIR=$cfg "$VEXA" >"$WORK/vexa-second-$language.log" 2>&1 &
  local second=$! box
  box=$(window "VEXA")
  keys "$box" key Return
  gone "$box" "VEXA"
  for _ in $(seq 100); do kill -0 "$second" 2>/dev/null || break; sleep 0.1; done
  wait "$second" || fail "the second vexa ended with status $?"
  kill -0 "$APP" 2>/dev/null || fail "the first vexa ended when a second one started"
  [ "$(top_window)" = "$panel" ] || fail "the running program's panel is not in front after a second start"
  echo "language $language: a second start on the folder said so and ended; the panel came to the front"

  keys "$panel" key --clearmodifiers ctrl+a type --delay 50 0.5
  keys "$panel" key F5
  for _ in $(seq 50); do compgen -G "$cfg/*.vxa" >/dev/null && break; sleep 0.1; done
  local file
  file=$(compgen -G "$cfg/*.vxa" | head -n 1) || fail "F5 made no recording file"
  sleep 2
  keys "$monitor" key ctrl+m
  dialog=$(window "$( [ "$language" = 1 ] && echo "VEXA: Метки" || echo "VEXA:  Marks")")
  keys "$dialog" type --delay 150 "$mark"
  keys "$dialog" key Return
  local title
  title=$(xdotool getwindowname "$monitor")
  [[ "$title" == "$recording_prefix"* ]] || fail "monitor titled \"$title\" while recording"
  # Two chart pictures beside the recording, numbered from 1.
  keys "$monitor" key ctrl+b
  keys "$panel" key ctrl+b
  local stem=${file%.vxa}
  for n in 1 2; do
    for _ in $(seq 50); do [ -s "$stem[$n].bmp" ] && break; sleep 0.1; done
    [ "$(head -c 2 "$stem[$n].bmp" 2>/dev/null)" = BM ] || fail "Ctrl+B wrote no picture $stem[$n].bmp"
  done
  echo "language $language: Ctrl+B wrote ${stem##*/}[1].bmp and [2].bmp"
  sleep 2
  keys "$monitor" key shift+F5
  opens_and_closes "$panel" ctrl+p "$print_title"
  opens_and_closes "$monitor" ctrl+o "$open_title"

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
  # One row per 0.5 s from the start to the stop (the waits between F5 and
  # Shift+F5 are 4 s, the keys and the pictures take what the machine lets
  # them): a clock second either side.
  local started seconds
  started=$(sed -n 's/^Started-Record: \(.*\)\r$/\1/p' "$file")
  seconds=$(( $(date -d "$(echo "$stopped" | sed 's/^\(..\)\.\(..\)\.\(....\)/\3-\2-\1/')" +%s) -
              $(date -d "$(echo "$started" | sed 's/^\(..\)\.\(..\)\.\(....\)/\3-\2-\1/')" +%s) ))
  [ "$seconds" -ge 4 ] || fail "recorded $seconds s, from $started to $stopped"
  [ "$count" -ge $(( (seconds - 1) * 2 )) ] && [ "$count" -le $(( (seconds + 1) * 2 )) ] ||
    fail "$count rows in the $seconds s from $started to $stopped at 0.5 s"
  marked=$(sed '1,/^Data-Table:/d' "$file" | iconv -f CP1251 -t UTF-8 | grep -n "	$mark"$'\r$' | cut -d: -f1 || true)
  [ -n "$marked" ] || fail "the mark \"$mark\" is on no row of $file: $(sed '1,/^Data-Table:/d' "$file" | iconv -f CP1251 -t UTF-8 | cut -f 3 | tr -d '\r' | tr '\n' '|')"
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

start_wm
session 0 "VEXA:  Control panel" "VEXA:  Monitor" "Record to file: \"" "deep breath" \
  "VEXA: Print window" "VEXA: Load window"
session 1 "VEXA: Панель управления" "VEXA: Монитор" "Запись в файл: \"" "вдох" \
  "VEXA: Окно печати" "VEXA: Загрузить файл"
echo "desktop e2e: passed"
