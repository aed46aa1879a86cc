# Sourced by the end-to-end scripts: the desktop program under a virtual X
# server with a window manager (openbox), as an operator has it: title bars,
# stacking, focus given by the window manager, modal windows. Defines
# start_wm, window, shown_windows, keys, gone, top_window, expect_on_top; the script
# defines fail() and WORK before it calls them.

# A command that fails says which, instead of ending the script unseen.
trap 'echo "failed: line $LINENO: $BASH_COMMAND" >&2' ERR

# Starts openbox on $DISPLAY and waits until it manages the screen.
WM=""
start_wm() {
  # A Russian layout beside the English one, so that xdotool types Cyrillic
  # marks from the keymap; rebinding a key for each letter instead lets a
  # client read a letter after its key was bound to the next one.
  setxkbmap -layout us,ru
  # On a busy machine, or with the last test's X server still going away,
  # openbox can take seconds or exit at once: up to 30 s, started again if
  # it ended.
  local starts=0
  for _ in $(seq 300); do
    if [ -z "$WM" ] || ! kill -0 "$WM" 2>/dev/null; then
      [ "$starts" -lt 3 ] || break
      starts=$((starts + 1))
      openbox --sm-disable --replace >>"$WORK/openbox.log" 2>&1 &
      WM=$!
    fi
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return
    sleep 0.1
  done
  fail "openbox did not start ($starts tries): $(tail -n 5 "$WORK/openbox.log" 2>/dev/null | tr "\n" " ")"
}
stop_wm() {
  if [ -n "$WM" ]; then
    kill "$WM" 2>/dev/null || true
    wait "$WM" 2>/dev/null || true
  fi
  WM=""
}

# The window whose title is exactly $1 (waits up to 20 s for it: a program
# under wine on a busy machine takes seconds to start).
window() {
  local id
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.1
  done
  fail "no window titled \"$1\"; shown: $(shown_windows)"
}

# The titles of the windows shown, and the programs running, for a failure.
shown_windows() {
  local id titles=""
  for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
    titles+="\"$(xdotool getwindowname "$id" 2>/dev/null)\" "
  done
  echo "${titles:-none}; running: $(pgrep -a '^vexa' | cut -c1-120 | tr '\n' ';')"
}

# Keys into a window: the window manager activates it first (xdotool may
# catch the window manager between two states of _NET_ACTIVE_WINDOW: again).
keys() {
  local id=$1 attempt; shift
  for attempt in 1 2 3 4 5; do
    xdotool windowactivate --sync "$id" 2>/dev/null && break
    [ "$attempt" -lt 5 ] || fail "window $id cannot be activated"
    sleep 0.2
  done
  xdotool "$@"
}

# Waits up to 10 s for the window titled $2 to be gone ($1: its id).
gone() {
  for _ in $(seq 100); do
    xdotool search --onlyvisible --name "^$2\$" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "the window \"$2\" is still there"
}

# The window on top of every other (the last of the window manager's
# stacking list, bottom to top), in decimal as xdotool gives ids.
top_window() {
  local top
  top=$(xprop -root _NET_CLIENT_LIST_STACKING | sed -n 's/.*# //p' | tr ',' '\n' | tail -n 1)
  [ -n "$top" ] && printf '%d\n' "$top"
}

# The window titled $1 (an extended regular expression) opens on top of the
# stack, has the keyboard, and is a transient of the window $2 that opened
# it; waits up to 10 s. Prints its id.
expect_on_top() {
  local pattern=$1 opener=$2 top="" title="" active="" owner=""
  for _ in $(seq 100); do
    top=$(top_window || true)
    if [ -n "$top" ]; then
      title=$(xdotool getwindowname "$top" 2>/dev/null || true)
      active=$(xdotool getactivewindow 2>/dev/null || true)
      if [[ "$title" =~ ^($pattern)$ ]] && [ "$active" = "$top" ]; then break; fi
    fi
    sleep 0.1
  done
  [[ "$title" =~ ^($pattern)$ ]] || fail "the window on top is \"$title\", not \"$pattern\""
  [ "$active" = "$top" ] || fail "\"$title\" is on top but window $active has the keyboard"
  owner=$(xprop -id "$top" WM_TRANSIENT_FOR | sed -n 's/.*# //p')
  [ -n "$owner" ] && [ "$(printf '%d' "$owner")" = "$opener" ] ||
    fail "\"$title\" belongs to window ${owner:-none}, not to $(printf '0x%x' "$opener") that opened it"
  echo "$top"
}
