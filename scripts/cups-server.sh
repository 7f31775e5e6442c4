#!/bin/bash
# A private CUPS scheduler with a PDF queue for the print tests; the machine's own scheduler, its
# queues and its default printer are never touched.
#   start: starts the scheduler (its own configuration, spool and socket under
#          $TAVREL_CUPS_DIR), adds the queue "TavrelPDF" on the cups-pdf backend writing into
#          $TAVREL_CUPS_DIR/pdf as its default, and prints the shell lines that point the tests at
#          it (use with eval). When CUPS cannot be used it says why on stderr and prints nothing,
#          so the print tests skip.
#   stop:  stops the scheduler by its process id and removes the backend's configuration.
# Installs nothing: scripts/install-deps.sh does.
set -uo pipefail

DIR="${TAVREL_CUPS_DIR:-/tmp/tavrel-cups-$(id -u)}"
QUEUE=TavrelPDF
PDF_DIR="$DIR/pdf"
PPD=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
# cups-pdf reads the configuration of instance NAME only from /etc/cups; each folder has an
# instance of its own, so runs in two folders write into their own folders. The shared
# cups-pdf.conf of the system stays as it is.
INSTANCE=tavrel$(printf '%s' "$DIR" | cksum | cut -d' ' -f1)
PDF_CONF=/etc/cups/cups-pdf-$INSTANCE.conf

say() { echo "cups-server: $*" >&2; }

write_private_config() {
    mkdir -p "$DIR/root/ppd" "$DIR/spool/tmp" "$DIR/cache" "$DIR/state" "$DIR/log"
    chmod 755 "$DIR" "$DIR/root" "$DIR/root/ppd" "$DIR/cache" "$DIR/state" "$DIR/log"
    chgrp lp "$DIR/spool" "$DIR/spool/tmp" 2>/dev/null
    chmod 1770 "$DIR/spool/tmp"
    chmod 710 "$DIR/spool"
    cat >"$DIR/root/cupsd.conf" <<EOF
Listen $DIR/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    cat >"$DIR/root/cups-files.conf" <<EOF
ServerRoot $DIR/root
RequestRoot $DIR/spool
TempDir $DIR/spool/tmp
CacheDir $DIR/cache
StateDir $DIR/state
AccessLog $DIR/log/access_log
ErrorLog $DIR/log/error_log
PageLog $DIR/log/page_log
User lp
Group lp
SystemGroup root
EOF
}

private_running() {
    [ -f "$DIR/private.pid" ] && kill -0 "$(cat "$DIR/private.pid")" 2>/dev/null &&
        [ -S "$DIR/cups.sock" ]
}

start_private() {
    private_running && return 0
    if [ "$(id -u)" -ne 0 ]; then
        say "the cups-pdf backend runs only under a scheduler started as root; print tests skip"
        return 1
    fi
    write_private_config
    cupsd -f -c "$DIR/root/cupsd.conf" -s "$DIR/root/cups-files.conf" </dev/null \
        >"$DIR/log/cupsd.out" 2>&1 &
    echo $! >"$DIR/private.pid"
    for _ in $(seq 1 50); do
        [ -S "$DIR/cups.sock" ] && CUPS_SERVER="$DIR/cups.sock" lpstat -r 2>/dev/null |
            grep -q "is running" && return 0
        sleep 0.1
    done
    say "the private scheduler did not start (see $DIR/log)"
    stop_private
    return 1
}

stop_private() {
    [ -f "$DIR/private.pid" ] || return 0
    local pid
    pid=$(cat "$DIR/private.pid")
    kill "$pid" 2>/dev/null
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$DIR/private.pid" "$DIR/cups.sock"
}

add_queue() {
    for tool in cupsd lpadmin lpstat; do
        command -v "$tool" >/dev/null || { say "$tool is missing; print tests skip"; return 1; }
    done
    if [ ! -x /usr/lib/cups/backend/cups-pdf ] || [ ! -f "$PPD" ]; then
        say "the cups-pdf backend is missing; print tests skip"
        return 1
    fi
    mkdir -p "$PDF_DIR" && chmod 777 "$PDF_DIR"
    printf 'Out %s\nAnonDirName %s\n' "$PDF_DIR" "$PDF_DIR" \
        >"$PDF_CONF" || { say "cannot write $PDF_CONF; print tests skip"; return 1; }
    # pdftocairo keeps the text of the fonts readable through the PostScript step.
    lpadmin -p "$QUEUE" -E -v "cups-pdf:/$INSTANCE" -P "$PPD" -o printer-error-policy=abort-job \
        -o pdftops-renderer-default=pdftocairo 2>/dev/null &&
        lpadmin -d "$QUEUE" || { say "lpadmin could not add the queue; print tests skip"; return 1; }
}

start() {
    mkdir -p "$DIR"
    start_private || return 0
    # Every CUPS command from here on, lpadmin's included, speaks to the private scheduler.
    export CUPS_SERVER="$DIR/cups.sock"
    if ! add_queue; then
        stop
        return 0
    fi
    echo "export CUPS_SERVER='$CUPS_SERVER'"
    echo "export TAVREL_CUPS_QUEUE='$QUEUE'"
    echo "export TAVREL_CUPS_PDF_DIR='$PDF_DIR'"
}

stop() {
    stop_private
    rm -f "$PDF_CONF"
    return 0
}

case "${1:-}" in
start) start ;;
stop) stop ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
