#!/usr/bin/env bash
# Every small window the control panel or the monitor opens comes up where
# the operator sees it, under a window manager (openbox): on top of the
# stack (above the control panel, which stays on top of the other windows),
# with the keyboard, and owned by the window that opened it. The keys typed
# next go to it without any window being focused by hand:
#
#   F5 with the interval "abc": the message window, Return closes it;
#   the Setup page (Ctrl+Tab), a preset of the operator's ("Add") whose port
#   is "x", Ctrl+Tab: the standard error box, Escape; the colour chooser of
#   V, Escape; the Environment page, "...": the directory chooser, Escape;
#   back on the Monitor page F5, Ctrl+M from the monitor: the mark window,
#   the mark typed and Return (it must be in the recording); Shift+F5;
#   Ctrl+P: the print window, Return prints to "PDF file": its file dialog,
#   Escape twice; Ctrl+O: the open window, Escape; Ctrl+Q.
#
# In English and in Russian. Screenshots of each window over the panel go
# to $VEXA_E2E_SHOTS when it is set.
#
# usage: tests/e2e/stacking.sh VEXA VEXA-FLOWSIM VEXA-REC
set -Eeuo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
VEXA=$1 FLOWSIM=$2 REC=$3
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
  echo "stacking e2e: $*" >&2
  xprop -root _NET_CLIENT_LIST_STACKING >&2 || true
  for log in "$WORK"/vexa-*.log; do
    [ -s "$log" ] && { echo "--- $log" >&2; tail -n 60 "$log" >&2; }
  done
  exit 1
}

shot() {  # name
  [ -n "${VEXA_E2E_SHOTS:-}" ] || return 0
  mkdir -p "$VEXA_E2E_SHOTS"
  import -window root "$VEXA_E2E_SHOTS/$1.png"
}

# The window titled $1 opened by the window $2 is on top with the keyboard;
# the key $3, sent to no window in particular, closes it.
on_top_and_closed_by() {  # title pattern, opener, key, shot name
  local id title
  id=$(expect_on_top "$1" "$2")
  title=$(xdotool getwindowname "$id")
  shot "$4"
  xdotool key "$3"
  gone "$id" "$title"
  echo "  \"$title\" on top, owned by its opener, closed by $3"
}

session() {  # language, panel title, monitor title, messages, marks, print, pdf, open, colours, mark, recording title
  local language=$1 panel_title=$2 monitor_title=$3 messages=$4 marks=$5 print=$6 pdf=$7
  local open=$8 colours=$9 mark=${10} recording=${11}
  local cfg=$WORK/settings-$language meter=$WORK/meter-$language
  mkdir -p "$cfg"
  VEXA_CONFIG_DIR=$cfg "$REC" config >/dev/null
  printf "\\x0$language" | dd of="$cfg/vexa.cfg" bs=1 seek=128 conv=notrunc status=none
  "$FLOWSIM" --link "$meter" >/dev/null &
  SIM=$!
  for _ in $(seq 50); do [ -e "$meter" ] && break; sleep 0.1; done
  VEXA_COM2=$meter VEXA_CONFIG_DIR=$cfg "$VEXA" >"$WORK/vexa-$language.log" 2>&1 &
  APP=$!
  local panel monitor
  panel=$(window "$panel_title")
  monitor=$(window "$monitor_title")
  echo "language $language:"

  # The message window: a start refused.
  keys "$panel" key --clearmodifiers ctrl+a type --delay 30 abc
  xdotool key F5
  on_top_and_closed_by "$messages" "$panel" Return "message-$language"

  # The Setup page: a preset of the operator's, its port not a number.
  xdotool key ctrl+Tab Tab ctrl+a
  xdotool type --delay 30 mine
  for _ in $(seq 10); do xdotool key Tab; done  # to "Add"
  xdotool key space
  for _ in $(seq 4); do xdotool key Tab; done  # from the tabs to the port
  xdotool type x
  xdotool key ctrl+Tab
  on_top_and_closed_by "VEXA" "$panel" Escape "error-box-$language"
  xdotool key ctrl+a
  xdotool type 2
  for _ in $(seq 3); do xdotool key Tab; done  # to V's colour
  xdotool key space
  on_top_and_closed_by "$colours" "$panel" Escape "colours-$language"

  # The Environment page: the directory chooser.
  xdotool key ctrl+Tab Tab Tab space
  on_top_and_closed_by "F_GetDir" "$panel" Escape "directory-$language"

  # A recording, and a mark from the monitor, which the panel covers.
  xdotool key ctrl+shift+Tab ctrl+shift+Tab ctrl+a
  xdotool type --delay 30 0.5
  xdotool key F5
  for _ in $(seq 50); do compgen -G "$cfg/*.vxa" >/dev/null && break; sleep 0.1; done
  local file
  file=$(compgen -G "$cfg/*.vxa" | head -n 1) || fail "F5 made no recording file"
  sleep 1
  keys "$monitor" key ctrl+m
  local dialog
  dialog=$(expect_on_top "$marks" "$monitor")
  shot "mark-$language"
  xdotool type --delay 150 "$mark"
  xdotool key Return
  gone "$dialog" "$(xdotool getwindowname "$dialog" 2>/dev/null || echo "$marks")"
  echo "  the mark window on top of the panel, owned by the monitor; \"$mark\" typed into it"
  sleep 1.5
  keys "$monitor" key shift+F5
  for _ in $(seq 50); do
    [[ "$(xdotool getwindowname "$monitor")" != "$recording"* ]] && break
    sleep 0.1
  done

  # The print window and its PDF file dialog, then the open window.
  keys "$panel" key ctrl+p
  local printing
  printing=$(expect_on_top "$print" "$panel")
  shot "print-$language"
  if [ -z "$(lpstat -e 2>/dev/null || true)" ]; then
    xdotool key Return  # "PDF file" is the only printer: its file dialog
    on_top_and_closed_by "$pdf" "$printing" Escape "pdf-dialog-$language"
  fi
  xdotool key Escape
  gone "$printing" "$print"
  keys "$panel" key ctrl+o
  on_top_and_closed_by "$open" "$panel" Escape "open-$language"

  keys "$panel" key ctrl+q
  for _ in $(seq 100); do kill -0 "$APP" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$APP" 2>/dev/null && fail "Ctrl+Q did not end the program"
  wait "$APP" || fail "vexa ended with status $?"
  APP=""
  kill "$SIM" && wait "$SIM" 2>/dev/null || true
  SIM=""
  sed '1,/^Data-Table:/d' "$file" | iconv -f CP1251 -t UTF-8 | grep -q "	$mark"$'\r$' ||
    fail "the mark \"$mark\" typed into the mark window is on no row of $file"
  echo "  \"$mark\" is in $file"
}

start_wm
session 0 "VEXA:  Control panel" "VEXA:  Monitor" "VEXA:  Messages" "VEXA:  Marks" \
  "VEXA: Print window" "Print to a PDF file" "VEXA: Load window" "Select Color" "deep breath" \
  "Record to file: "
session 1 "VEXA: Панель управления" "VEXA: Монитор" "VEXA: Сообщения" "VEXA: Метки" \
  "VEXA: Окно печати" "Печать в файл PDF" "VEXA: Загрузить файл" "Выбор цвета" "вдох" \
  "Запись в файл: "
echo "stacking e2e: passed"
