#!/bin/sh
# A CUPS server of the print tests' own, beside the machine's and without
# touching it: its own configuration and state under DIR, a unix socket
# DIR/cups.sock (point CUPS_SERVER at it), and one PDF queue, VEXA_Test_PDF,
# whose cups-pdf backend writes into DIR/out (cups-pdf makes its PDF from
# PostScript: the queue has pdftocairo make that, since Ghostscript's
# ps2write drops the text layer of Qt's fonts). cups-pdf reads its settings
# from /etc/cups only, so the server runs in a mount namespace of its own in
# which a file of DIR stands at that path; outside it nothing changes.
#   private_cups.sh start DIR   prints nothing and exits 0 once the queue is
#                               ready; else one line saying why, exit 1
#   private_cups.sh stop DIR    ends that server
set -u
cmd=${1:-} dir=${2:-}
[ -n "$dir" ] || { echo "usage: private_cups.sh start|stop DIR" >&2; exit 2; }
queue=VEXA_Test_PDF
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

stop() {
  [ -f "$dir/cupsd.pid" ] || return 0
  pid=$(cat "$dir/cupsd.pid")
  kill "$pid" 2>/dev/null
  for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill -9 "$pid" 2>/dev/null
  rm -f "$dir/cupsd.pid"
}

case $cmd in
stop) stop; exit 0 ;;
start) ;;
*) echo "usage: private_cups.sh start|stop DIR" >&2; exit 2 ;;
esac

[ -x /usr/sbin/cupsd ] || { echo "no CUPS server: cupsd is not installed (Debian cups-daemon)"; exit 1; }
[ -x /usr/lib/cups/backend/cups-pdf ] && [ -f "$ppd" ] && [ -f /etc/cups/cups-pdf.conf ] ||
  { echo "no PDF printer: cups-pdf is not installed (Debian printer-driver-cups-pdf)"; exit 1; }
command -v lpadmin >/dev/null && command -v lpstat >/dev/null ||
  { echo "no lpadmin or lpstat (Debian cups-client)"; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "the private CUPS server needs root (cupsd's filters run as lp)"; exit 1; }

for d in root spool cache state tmp log out pdfspool; do mkdir -p "$dir/$d" || exit 1; done
chmod 755 "$dir" "$dir/root" "$dir/log" "$dir/cache" "$dir/state" "$dir/spool"
chmod 1777 "$dir/tmp" "$dir/out" "$dir/pdfspool"
cat > "$dir/root/cups-files.conf" <<CONF
ServerRoot $dir/root
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ErrorLog $dir/log/error_log
AccessLog $dir/log/access_log
PageLog $dir/log/page_log
User lp
Group lp
SystemGroup root
Sandboxing Relaxed
CONF
cat > "$dir/root/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel info
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$dir/root/cups-pdf.conf" <<CONF
Out $dir/out
AnonDirName $dir/out
Spool $dir/pdfspool
Log $dir/log
Grp root
CONF

unshare --mount --propagation private sh -c \
  'mount --bind "$1" /etc/cups/cups-pdf.conf && exec /usr/sbin/cupsd -f -c "$2" -s "$3"' \
  sh "$dir/root/cups-pdf.conf" "$dir/root/cupsd.conf" "$dir/root/cups-files.conf" \
  > "$dir/log/cupsd.out" 2>&1 < /dev/null &
echo $! > "$dir/cupsd.pid"

export CUPS_SERVER="$dir/cups.sock"
up=0
for _ in $(seq 1 50); do
  if lpstat -r 2>/dev/null | grep -q "is running"; then up=1; break; fi
  kill -0 "$(cat "$dir/cupsd.pid")" 2>/dev/null || break
  sleep 0.2
done
if [ $up -ne 1 ]; then
  echo "the private CUPS server did not start: $(tail -n 1 "$dir/log/cupsd.out" 2>/dev/null)"
  stop
  exit 1
fi
if ! lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" -o PageSize=A4 -o pdftops-renderer-default=pdftocairo > "$dir/log/lpadmin.out" 2>&1 ||
   ! lpstat -p "$queue" > /dev/null 2>&1; then
  echo "the private CUPS server refused the PDF queue: $(grep -v deprecated "$dir/log/lpadmin.out" | tail -n 1)"
  stop
  exit 1
fi
exit 0
