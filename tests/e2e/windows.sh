#!/usr/bin/env bash
# The Windows installer and the installed desktop program end to end under
# wine, a virtual X server and a window manager (openbox):
#
#   the installer run silently (/S) into a fresh wine prefix: the program in
#   Program Files, its Start-menu entry, the .vxa file type, the uninstaller
#   among the installed programs; the installed vexa.exe started from the
#   Start-menu entry's target, settings in %APPDATA%\vexa, recordings in
#   Documents\VEXA; on COM5, which wine maps to a Linux vexa-flowsim's
#   pseudo-terminal, the key-driven recording of tests/e2e/desktop.sh
#   (interval 0.5, F5, Ctrl+M with a typed Cyrillic mark, Ctrl+B, Shift+F5,
#   Ctrl+Q); the recording equals the one the Linux program makes from the
#   same frames apart from its times; again in Russian, where the print
#   window's "PDF file" entry writes a page whose title lines pdftotext
#   reads; then a silent uninstall, which keeps the settings and recordings.
#
# usage: tests/e2e/windows.sh VEXA-SETUP.EXE VEXA VEXA-FLOWSIM VEXA-REC
#   (the installer, then the Linux programs)
#   VEXA_XVFB_FIRST=N   first X display number to try (default 99)
#   VEXA_E2E_SHOTS=DIR  keep screenshots of both windows during the recordings
set -Eeuo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -n "${VEXA_XVFB_FIRST:-99}" -s "-screen 0 1280x1024x24" "$0" "$@"
fi
SETUP=$(readlink -f "$1") VEXA=$(readlink -f "$2") FLOWSIM=$(readlink -f "$3") REC=$(readlink -f "$4")
WINE=${VEXA_WINE:-/usr/lib/wine/wine64}
WINESERVER=/usr/lib/wine/wineserver
WORK=$(mktemp -d)
# A fresh prefix, and a home of its own: wine links the prefix's Documents
# to the home's, which must not be the machine user's.
export HOME=$WORK/home WINEPREFIX=$WORK/prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
mkdir -p "$HOME"
SIM="" APP=""
. "$(dirname "$0")/x11.sh"
cleanup() {
  [ -n "$APP" ] && kill "$APP" 2>/dev/null || true
  [ -n "$SIM" ] && kill "$SIM" 2>/dev/null || true
  "$WINESERVER" -k 2>/dev/null || true
  stop_wm
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "windows e2e: $*" >&2
  for log in "$WORK"/*.log; do
    [ -s "$log" ] && { echo "--- $log" >&2; tail -n 40 "$log" >&2; }
  done
  exit 1
}

# A Windows path of the prefix as a Unix one.
unix() { "$WINE" winepath.exe -u "$1" 2>/dev/null | tr -d '\r'; }
# A value of the registry, or "" ($1 key, $2 value name or "" for the default).
reg_value() {
  local out
  if [ -n "$2" ]; then
    out=$("$WINE" reg.exe query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 0
  else
    out=$("$WINE" reg.exe query "$1" /ve 2>/dev/null | tr -d '\r') || return 0
  fi
  echo "$out" | sed -n 's/^ *[^ ].*  *REG_[A-Z_]*  *//p' | sed -n 1p
}

# A preset list whose current preset reads the flow meter on COM5: the file
# as the program writes it (preset.h), the default preset's values otherwise.
write_com5_preset() {  # folder
  le32() {
    # shellcheck disable=SC2059  # the format is the escapes of the bytes
    printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"
  }
  {
    le32 1; le32 1                         # one stored preset, the current one
    le32 4; printf 'COM5'; le32 0          # name, empty description
    le32 1; le32 5                         # gas analyser COM1, flow meter COM5
    printf '\x00\x00\x00\x00\x00\xc0\x87\x40'  # 760.0
    printf '\x00\x00\x00\x00\x00\x00\x54\x40'  # 80.0
    printf '\x00\x00\x00\x00\x00\x00\x34\x40'  # 20.0
    printf '\x00\x00\x00\x00\x00\xc0\x52\x40'  # 75.0
    printf '\x00\x00\x00\x00\x01\x00\x01'      # V and M shown
    for c in 0x00FFFF 0xFFFF00 0xFF0000 0x0000FF 0x00FF00 0xF0CAA6 0xFF00FF; do le32 $((c)); done
  } >"$1/vexa.pset"
}

set_language() { printf "\\x0$2" | dd of="$1/vexa.cfg" bs=1 seek=128 conv=notrunc status=none; }

start_meter() {  # link
  "$FLOWSIM" --constant 3.00,15,7.5 --link "$1" >/dev/null 2>&1 &
  SIM=$!
  for _ in $(seq 50); do [ -e "$1" ] && return; sleep 0.1; done
  fail "vexa-flowsim made no $1"
}
stop_meter() { kill "$SIM" 2>/dev/null && wait "$SIM" 2>/dev/null || true; SIM=""; }

shot() {  # name
  [ -n "${VEXA_E2E_SHOTS:-}" ] || return 0
  mkdir -p "$VEXA_E2E_SHOTS"
  import -window root "$VEXA_E2E_SHOTS/$1.png"
}

# The recording keys: the interval, F5, a typed mark, Ctrl+B, Shift+F5.
# Prints the recording file's path; $1/$2 the windows, $3 where recordings go.
record() {  # panel, monitor, folder, mark, marks-title, screenshot name
  local panel=$1 monitor=$2 folder=$3 mark=$4 marks_title=$5 file dialog
  keys "$panel" key --clearmodifiers ctrl+a type --delay 50 0.5
  keys "$panel" key F5
  for _ in $(seq 100); do compgen -G "$folder/*.vxa" >/dev/null && break; sleep 0.1; done
  file=$(compgen -G "$folder/*.vxa" | sed -n 1p)
  [ -n "$file" ] || fail "F5 made no recording file in $folder"
  sleep 2
  keys "$monitor" key ctrl+m
  dialog=$(window "$marks_title")
  keys "$dialog" type --delay 150 "$mark"
  keys "$dialog" key Return
  gone "$dialog" "$marks_title"
  keys "$monitor" key ctrl+b
  local stem=${file%.vxa}
  for _ in $(seq 100); do [ -s "$stem[1].bmp" ] && break; sleep 0.1; done
  [ "$(head -c 2 "$stem[1].bmp" 2>/dev/null)" = BM ] || fail "Ctrl+B wrote no picture $stem[1].bmp"
  sleep 1
  shot "$6"
  sleep 1
  keys "$monitor" key shift+F5
  sleep 0.5
  echo "$file"
}

quit() {  # panel, what ends (a pid or "wine")
  keys "$1" key ctrl+q
  if [ "$2" = wine ]; then
    for _ in $(seq 150); do
      xdotool search --onlyvisible --name "^VEXA:" >/dev/null 2>&1 || break
      sleep 0.1
    done
    xdotool search --onlyvisible --name "^VEXA:" >/dev/null 2>&1 && fail "Ctrl+Q did not end vexa.exe"
    wait "$APP" 2>/dev/null || true
    # The program goes on after its windows close (it writes its settings,
    # then gives up its lock), and wine's server lingers after its last
    # program: the next start begins with wine at rest, not racing either.
    timeout 60 "$WINESERVER" -w || fail "wine still runs 60 s after vexa.exe's windows closed: $(shown_windows)"
  else
    for _ in $(seq 100); do kill -0 "$2" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$2" 2>/dev/null && fail "Ctrl+Q did not end the program"
    wait "$2" || fail "vexa ended with status $?"
  fi
  APP=""
}

# The recording apart from its times: the start and stop times, the row
# count and the number of repeats of a row (the frames are constant, so the
# rows differ only where the mark is).
normalized() {
  sed -E -e 's/^(Started|Stopped)-Record: .{19}/\1-Record: <time>/' \
         -e 's/^Data-Count: +[0-9]+/Data-Count: <n>/' "$1" | uniq
}

start_wm

# --- the Linux program's recording, for comparison --------------------------
cfg=$WORK/linux
mkdir -p "$cfg"
VEXA_CONFIG_DIR=$cfg "$REC" config >/dev/null
write_com5_preset "$cfg"
start_meter "$WORK/meter-linux"
VEXA_COM5=$WORK/meter-linux VEXA_CONFIG_DIR=$cfg "$VEXA" >"$WORK/vexa-linux.log" 2>&1 &
APP=$!
panel=$(window "VEXA:  Control panel")
monitor=$(window "VEXA:  Monitor")
linux_file=$(record "$panel" "$monitor" "$cfg" "вдох" "VEXA:  Marks" linux)
quit "$panel" "$APP"
stop_meter
echo "Linux: $(basename "$linux_file")"

# --- install ------------------------------------------------------------------
"$WINE" wineboot.exe -i >"$WORK/wineboot.log" 2>&1 || fail "wineboot failed"
"$WINESERVER" -w
# Windows' dialog font is Tahoma, which this wine lacks: it would take the
# first font it knows (a serif one). A sans face of the machine's stands in,
# so the screenshots look as the program does on Windows.
for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
  "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "DejaVu Sans" /f >/dev/null 2>&1 || true
done
"$WINESERVER" -w
"$WINE" "$SETUP" /S >"$WORK/setup.log" 2>&1 || fail "the installer ended with status $?"
"$WINESERVER" -w
program_files=$(unix 'C:\Program Files\VEXA')
appdata=$(unix "$("$WINE" cmd.exe /c echo %APPDATA% | tr -d '\r')")
documents=$(unix "$(reg_value 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' Personal)")
start_menu=$(unix "$(reg_value 'HKLM\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' 'Common Programs')")
[ -n "$appdata" ] && [ -n "$documents" ] && [ -n "$start_menu" ] || fail "no APPDATA, Documents or Start menu folder in the prefix"
for f in vexa.exe vexa-render.exe vexa-rec.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6PrintSupport.dll \
         platforms/qwindows.dll styles/qwindowsvistastyle.dll \
         translations/qtbase_ru.qm qt.conf vexa.installed uninstall.exe; do
  [ -f "$program_files/$f" ] || fail "the installer put no $f into Program Files\\VEXA"
done
lnk="$start_menu/VEXA/VEXA.lnk"
[ -f "$lnk" ] || fail "no Start-menu entry $lnk"
[ "$(reg_value 'HKLM\Software\Classes\.vxa' '')" = VEXA.Recording ] || fail ".vxa is not VEXA's file type"
open_command=$(reg_value 'HKLM\Software\Classes\VEXA.Recording\shell\open\command' '')
[ "$open_command" = '"C:\Program Files\VEXA\vexa.exe" "%1"' ] || fail ".vxa opens with: $open_command"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VEXA'
[ "$(reg_value "$uninstall_key" DisplayVersion)" = 1.1.0.135 ] || fail "no VEXA 1.1.0.135 among the installed programs"
echo "installed: Program Files\\VEXA, the Start-menu entry, .vxa opening \"$open_command\", 1.1.0.135 among the installed programs"
# The programs' own version, from their version resources.
version=$("$WINE" "$program_files/vexa-rec.exe" --version 2>&1 | tr -d '\r' || true)
[ "$version" = "vexa-rec 1.1.0.135" ] || fail "the installed vexa-rec.exe says \"$version\""

# --- the installed program ---------------------------------------------------
# Its first settings file, as the installed programs make it: in %APPDATA%\vexa.
"$WINE" "$program_files/vexa-rec.exe" config >"$WORK/config.log" 2>&1 || fail "vexa-rec.exe config failed"
[ -f "$appdata/vexa/vexa.cfg" ] || fail "the installed vexa-rec.exe made no %APPDATA%\\vexa\\vexa.cfg"
[ ! -e "$program_files/vexa.cfg" ] || fail "the installed program wrote vexa.cfg into Program Files"
destination=$(tr -d '\r' <"$WORK/config.log" | sed -n 's/^DirHistory\[0\]: //p' | sed -n 1p)
echo "settings in %APPDATA%\\vexa; recordings go to ${destination:-?}"
write_com5_preset "$appdata/vexa"

session() {  # language, panel title, monitor title, marks title, mark, screenshot name
  start_meter "$WORK/meter-windows"
  ln -sfn "$(readlink "$WORK/meter-windows")" "$WINEPREFIX/dosdevices/com5"
  set_language "$appdata/vexa" "$1"
  # wine reads the keyboard layout once, at its start, and takes the first
  # group for it: Russian first, so that the Cyrillic mark types as itself
  # (xdotool finds the Latin keys in the second group).
  setxkbmap -layout ru,us
  # Started from the Start-menu entry's target, as a click on it does.
  "$WINE" start.exe /wait /unix "$lnk" >"$WORK/vexa-windows-$1.log" 2>&1 &
  APP=$!
  panel=$(window "$2")
  monitor=$(window "$3")
  echo "Windows, language $1: \"$(xdotool getwindowname "$panel")\" and \"$(xdotool getwindowname "$monitor")\""
  windows_file=$(record "$panel" "$monitor" "$documents/VEXA" "$5" "$4" "$6")
}

session 0 "VEXA:  Control panel" "VEXA:  Monitor" "VEXA:  Marks" "вдох" windows-desktop-en
quit "$panel" wine
stop_meter
[ "$(dirname "$windows_file")" = "$documents/VEXA" ] || fail "the recording is not in Documents\\VEXA: $windows_file"
cmp <(normalized "$linux_file") <(normalized "$windows_file") ||
  fail "the Windows recording differs from the Linux one apart from its times:
$(diff <(normalized "$linux_file" | iconv -f CP1251 -t UTF-8) <(normalized "$windows_file" | iconv -f CP1251 -t UTF-8) | head -n 20)"
echo "Windows: $(basename "$windows_file") in Documents\\VEXA equals the Linux recording apart from its times"
first_file=$windows_file

# Russian: the titles, a recording, and the print window's "PDF file" entry.
rm -f "$documents"/VEXA/*.vxa.keep 2>/dev/null || true
mkdir -p "$WORK/first" && mv "$documents"/VEXA/* "$WORK/first"/
session 1 "VEXA: Панель управления" "VEXA: Монитор" "VEXA: Метки" "выдох" windows-desktop-ru
keys "$panel" key ctrl+p
print=$(window "VEXA: Окно печати")
# The printer list's last entry is the PDF file; Print, then the file
# window's suggestion (beside the recording) with Enter.
keys "$print" key --clearmodifiers alt+Down
sleep 0.3
xdotool key End Return
sleep 0.3
pdf="${windows_file%.vxa}.pdf"
for attempt in 1 2 3; do
  keys "$print" key Return
  sleep 1
  ask=$(xdotool search --onlyvisible --name "PDF" 2>/dev/null | head -n 1 || true)
  [ -n "$ask" ] && { keys "$ask" key Return; break; }
done
for _ in $(seq 100); do [ -s "$pdf" ] && break; sleep 0.1; done
[ -s "$pdf" ] || fail "the print window's PDF file entry wrote no $(basename "$pdf")"
page=$(pdftotext "$pdf" -)
title=$(grep -F "$(basename "$windows_file")" <<<"$page" | sed -n 1p || true)
[ -n "$title" ] || fail "the page has no title line with the file name: $(sed -n 1,5p <<<"$page")"
echo "Windows: the print window wrote $(basename "$pdf"), title: $title"
gone "$print" "VEXA: Окно печати"
quit "$panel" wine
stop_meter

# --- a recording opens by its file type ---------------------------------------
# (the open command of .vxa with a path of Cyrillic letters and spaces)
mkdir -p "$documents/VEXA/мои записи"
cp "$WORK/first/$(basename "$first_file")" "$documents/VEXA/мои записи/первая запись.vxa"
set_language "$appdata/vexa" 0
"$WINE" start.exe /unix "$documents/VEXA/мои записи/первая запись.vxa" >"$WORK/open.log" 2>&1 &
APP=$!
panel=$(window "VEXA:  Control panel")
# The monitor's title names the recording it shows.
monitor=$(window ".*первая запись.*")
title=$(xdotool getwindowname "$monitor")
echo "Windows: the .vxa file type opens \"первая запись.vxa\": \"$title\""
quit "$panel" wine

# --- uninstall -------------------------------------------------------------------
"$WINE" "$program_files/uninstall.exe" /S >"$WORK/uninstall.log" 2>&1 || fail "the uninstaller ended with status $?"
# The uninstaller copies itself away and runs from there: wait for it.
"$WINESERVER" -w
[ ! -e "$program_files" ] || fail "Program Files\\VEXA is still there: $(ls -R "$program_files" | head)"
[ ! -e "$lnk" ] || fail "the Start-menu entry is still there"
[ -z "$(reg_value 'HKLM\Software\Classes\.vxa' '')" ] || fail "the .vxa file type is still there"
[ -z "$(reg_value "$uninstall_key" DisplayName)" ] || fail "VEXA is still among the installed programs"
[ -f "$appdata/vexa/vexa.cfg" ] && [ -f "$appdata/vexa/vexa.pset" ] || fail "the uninstaller removed the settings"
compgen -G "$documents/VEXA/*.vxa" >/dev/null || fail "the uninstaller removed the recordings"
echo "uninstalled: program, Start-menu entry and file type gone; %APPDATA%\\vexa and Documents\\VEXA kept"
echo "windows e2e: passed"
