#!/usr/bin/env bash
# Recorders killed with SIGKILL at random moments, ten times: every file
# they leave is an interrupted recording that `vexa-rec repair` completes,
# and the completed file opens with every whole row the killed one held,
# its header saying so (row count, stop time = start + rows x interval).
# A second repair refuses (exit 1) and writes nothing.
#
#   record   `vexa-rec record` at 0.1 s
#   desktop  the desktop program under Xvfb and openbox, F5 on its control
#            panel at 0.1 s (xdotool); the last file is completed by the
#            program itself, opened from its command line (Return on the
#            question: Complete)
#
# usage: tests/tools/interrupted_kills.sh record|desktop VEXA-REC VEXA-FLOWSIM [VEXA]
set -Eeuo pipefail
MODE=$1 REC=$2 FLOWSIM=$3 VEXA=${4:-}
if [ "$MODE" = desktop ] && [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
ROUNDS=${VEXA_KILL_ROUNDS:-10}
WORK=$(mktemp -d)
SIM="" APP=""
fail() {
  echo "interrupted kills ($MODE): $*" >&2
  exit 1
}
if [ "$MODE" = desktop ]; then
  . "$(dirname "$0")/../e2e/x11.sh"
else
  stop_wm() { :; }
fi
cleanup() {
  [ -n "$APP" ] && kill -9 "$APP" 2>/dev/null || true
  [ -n "$SIM" ] && kill "$SIM" 2>/dev/null || true
  stop_wm
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

# Rows that end in a line end after the Data-Table line, and whether the
# last line lacks one.
whole_rows() { sed '1,/^Data-Table:/d' "$1" | grep -c $'\r$' || true; }
field() { sed -n "s/^$2: *\\(.*\\)\\r\$/\\1/p" "$1"; }
seconds_of() { date -d "$(echo "$1" | sed 's/^\(..\)\.\(..\)\.\(....\)/\3-\2-\1/')" +%s; }

# The desktop program opens a killed file from its command line and is
# told to complete it: the question's default button (Return).
complete_in_program() {  # file, settings folder
  local question panel
  VEXA_COM2=$WORK/meter VEXA_CONFIG_DIR=$2 "$VEXA" "$1" >"$WORK/vexa.log" 2>&1 &
  APP=$!
  question=$(window "VEXA")
  keys "$question" key Return
  for _ in $(seq 100); do [ -n "$(field "$1" Data-Count)" ] && break; sleep 0.1; done
  panel=$(window "VEXA:  Control panel")
  keys "$panel" key ctrl+q
  wait "$APP" || fail "vexa ended with status $? after completing $1"
  APP=""
}

# Completes a killed file (vexa-rec repair, or the program when $3 names its
# settings folder) and checks what it holds then.
complete() {  # file, interval in ms[, settings folder]
  local file=$1 ms=$2 rows count started stopped out
  [ -n "$(field "$file" Data-Count)" ] && fail "$file: a killed recording with a row count"
  rows=$(whole_rows "$file")
  if [ -n "${3:-}" ]; then
    complete_in_program "$file" "$3"
  else
    out=$("$REC" repair "$file") || fail "repair of $file failed: $out"
  fi
  count=$(field "$file" Data-Count)
  [ "$count" = "$rows" ] || fail "$file: Data-Count $count after repair, $rows whole rows"
  [ "$(whole_rows "$file")" = "$rows" ] || fail "$file: rows changed by the repair"
  started=$(field "$file" Started-Record)
  stopped=$(field "$file" Stopped-Record)
  # The stop time is the last row's: start + rows x interval (whole seconds).
  local want=$(( $(seconds_of "$started") + rows * ms / 1000 ))
  [ "$(seconds_of "$stopped")" = "$want" ] || fail "$file: stopped $stopped, started $started, $rows rows"
  # It opens with every row, and the header's count is the rows found.
  "$REC" info "$file" >"$WORK/info" || fail "info $file failed"
  grep -q "^Data-Count: $rows\$" "$WORK/info" || fail "$file: $(grep Data-Count "$WORK/info")"
  grep -q "points=$rows " "$WORK/info" || fail "$file: $(grep points= "$WORK/info" | head -n 1)"
  local before
  before=$(md5sum <"$file")
  if "$REC" repair "$file" >/dev/null 2>"$WORK/again"; then fail "a second repair of $file succeeded"; fi
  grep -q "not an interrupted recording" "$WORK/again" || fail "second repair: $(cat "$WORK/again")"
  [ "$(md5sum <"$file")" = "$before" ] || fail "a refused repair wrote $file"
  echo "$(basename "$file"): killed with $rows rows, completed"
}

# Waits for the first recording in a folder; prints its path.
first_recording() {
  local f
  for _ in $(seq 200); do
    f=$(compgen -G "$1/*.vxa" | head -n 1 || true)
    [ -n "$f" ] && { echo "$f"; return; }
    sleep 0.05
  done
  fail "no recording appeared in $1"
}

"$FLOWSIM" --link "$WORK/meter" --rate 100 >/dev/null 2>&1 &
SIM=$!
for _ in $(seq 100); do [ -e "$WORK/meter" ] && break; sleep 0.05; done
[ -e "$WORK/meter" ] || fail "vexa-flowsim made no link"

if [ "$MODE" = record ]; then
  mkdir -p "$WORK/cfg"
  for round in $(seq "$ROUNDS"); do
    mkdir -p "$WORK/out$round"
    VEXA_CONFIG_DIR=$WORK/cfg VEXA_COM2=$WORK/meter "$REC" record --port 2 --interval 0.1 \
      --seconds 60 --dir "$WORK/out$round" --mark "3:$(printf '\320\262\320\264\320\276\321\205')" \
      >/dev/null 2>"$WORK/rec.err" &
    APP=$!
    file=$(first_recording "$WORK/out$round")
    sleep "0.$(( RANDOM % 9 + 1 ))$(( RANDOM % 10 ))"
    kill -9 "$APP"
    wait "$APP" 2>/dev/null || true
    APP=""
    complete "$file" 100
  done
elif [ "$MODE" = desktop ]; then
  [ -n "$VEXA" ] || fail "usage: $0 desktop VEXA-REC VEXA-FLOWSIM VEXA"
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}strict_string_checks=0"
  export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$(dirname "$0")/../e2e/lsan.supp"
  start_wm
  for round in $(seq "$ROUNDS"); do
    cfg=$WORK/settings$round
    mkdir -p "$cfg"
    VEXA_CONFIG_DIR=$cfg "$REC" config >/dev/null
    # SampleInterval, the double at offset 120: 0.1 s.
    printf '\x9a\x99\x99\x99\x99\x99\xb9\x3f' | dd of="$cfg/vexa.cfg" bs=1 seek=120 conv=notrunc status=none
    VEXA_COM2=$WORK/meter VEXA_CONFIG_DIR=$cfg "$VEXA" >"$WORK/vexa.log" 2>&1 &
    APP=$!
    panel=$(window "VEXA:  Control panel")
    keys "$panel" key F5
    file=$(first_recording "$cfg")
    sleep "0.$(( RANDOM % 9 + 1 ))$(( RANDOM % 10 ))"
    kill -9 "$APP"
    wait "$APP" 2>/dev/null || true
    APP=""
    # The last one is completed by the program's own question.
    if [ "$round" = "$ROUNDS" ]; then complete "$file" 100 "$cfg"; else complete "$file" 100; fi
  done
else
  fail "usage: $0 record|desktop VEXA-REC VEXA-FLOWSIM [VEXA]"
fi
echo "interrupted kills ($MODE): $ROUNDS killed recordings completed"
