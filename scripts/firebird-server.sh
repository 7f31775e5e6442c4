#!/bin/bash
# Starts (start) or stops (stop) the private Firebird server of the server tests: on 127.0.0.1 at
# a port of its own (3051, or the next free one), with its own configuration, security database
# (SYSDBA's password is the program's fixed one) and lock folder under build/fbserver. It is
# stopped by its process id; the machine's own Firebird server and security database are never
# touched. "start" leaves the server's address, 127.0.0.1/PORT, in build/fbserver/address.
# TAVREL_FB_ROOT and TAVREL_FB_PORT name another folder and first port.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=${TAVREL_FB_ROOT:-$PWD/build/fbserver}
FIRST_PORT=${TAVREL_FB_PORT:-3051}
LIBDIR=$(ls -d /usr/lib/*/firebird/3.0 | head -n 1)

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# The recorded process, if it still is this server: a process id may have been given anew, and
# an ended server whose parent has gone may stay a zombie that nobody reaps (no environment).
running_pid() {
    local pid
    pid=$(cat "$ROOT/server.pid" 2>/dev/null) || return 1
    tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "FIREBIRD=$ROOT" || return 1
    echo "$pid"
}

# A child of this script that has not ended. Until it has started the server program it is not
# yet running_pid's: its environment is still the script's.
child_running() {
    local state
    state=$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

free_port() {
    local port
    for port in $(seq "$FIRST_PORT" $((FIRST_PORT + 20))); do
        listening "$port" || { echo "$port"; return 0; }
    done
    echo "no free port from $FIRST_PORT" >&2
    return 1
}

# A root folder of the server's own: its configuration, the engine's files linked in.
prepare_root() {
    local port=$1 item
    rm -rf "$ROOT"
    mkdir -p "$ROOT/lock" "$ROOT/tmp" "$ROOT/intl"
    for item in plugins UDF lib firebird.msg plugins.conf fbtrace.conf intl/fbintl.conf; do
        if [ -e "$LIBDIR/$item" ]; then
            ln -s "$LIBDIR/$item" "$ROOT/$item"
        fi
    done
    # The engine refuses a character set module reached through a symbolic link, and without it
    # knows no character set but the built-in ones.
    cp "$LIBDIR/intl/libfbintl.so" "$ROOT/intl/"
    cat >"$ROOT/firebird.conf" <<EOF
RemoteServicePort = $port
RemoteBindAddress = 127.0.0.1
SecurityDatabase = $ROOT/security3.fdb
ServerMode = Super
UdfAccess = None
EOF
    : >"$ROOT/databases.conf"
}

# The configuration above points the embedded engine at the new security database, so the user
# made here lives there and nowhere else.
make_security_database() {
    printf "create database '%s';\ncreate user SYSDBA password 'lockstone' using plugin Srp;\ncommit;\n" \
        "$ROOT/security3.fdb" |
        FIREBIRD=$ROOT FIREBIRD_LOCK=$ROOT/lock FIREBIRD_TMP=$ROOT/tmp isql-fb -q -user SYSDBA >/dev/null
}

start() {
    if running_pid >/dev/null; then
        stop
    fi
    local port pid
    port=$(free_port)
    prepare_root "$port"
    make_security_database
    FIREBIRD=$ROOT FIREBIRD_LOCK=$ROOT/lock FIREBIRD_TMP=$ROOT/tmp \
        setsid /usr/sbin/firebird >"$ROOT/server.out" 2>&1 </dev/null 9>&- &
    pid=$!
    echo "$pid" >"$ROOT/server.pid"
    for _ in $(seq 1 50); do
        if listening "$port"; then
            echo "127.0.0.1/$port" >"$ROOT/address"
            echo "private Firebird server (process $pid) listening on 127.0.0.1:$port"
            return 0
        fi
        child_running "$pid" || break
        sleep 0.2
    done
    echo "the private Firebird server did not start; it said:" >&2
    tail -n 8 "$ROOT/server.out" >&2
    stop
    return 1
}

stop() {
    local pid
    if pid=$(running_pid); then
        kill -TERM "$pid"
        for _ in $(seq 1 50); do
            running_pid >/dev/null || break
            sleep 0.2
        done
        if running_pid >/dev/null; then
            kill -KILL "$pid"
            for _ in $(seq 1 50); do
                running_pid >/dev/null || break
                sleep 0.1
            done
            running_pid >/dev/null && echo "the private Firebird server (process $pid) outlived SIGKILL" >&2
        fi
    fi
    rm -f "$ROOT/server.pid" "$ROOT/address"
}

case "${1:-start}" in
start)
    # Servers started at once would both take the first free port: one finds it, starts and
    # listens before the next looks.
    exec 9>/tmp/tavrel-firebird-port.lock
    flock 9
    start
    ;;
stop) stop ;;
*) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
