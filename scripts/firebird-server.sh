#!/bin/bash
# Starts (start) or stops (stop) the Firebird server used by the server tests, on 127.0.0.1,
# with SYSDBA's password set to the program's fixed one.
set -euo pipefail
SECDB=/var/lib/firebird/3.0/system/security3.fdb

set_password() {
    # Embedded access to the security database: works while the server is down.
    printf "create or alter user SYSDBA password 'lockstone' using plugin Srp;\ncommit;\n" |
        isql-fb -q -user SYSDBA "$SECDB" >/dev/null
    chown firebird:firebird "$SECDB"
}

server_running() { pgrep -x firebird >/dev/null 2>&1; }

start() {
    if server_running; then
        "$0" stop
    fi
    set_password
    mkdir -p /run/firebird3.0 && chown firebird:firebird /run/firebird3.0
    if ! /etc/init.d/firebird3.0 start >/dev/null 2>&1; then
        start-stop-daemon --start --quiet --background --chuid firebird:firebird \
            --exec /usr/sbin/fbguard -- -forever
    fi
    for _ in $(seq 1 50); do
        if (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; then
            echo "Firebird server listening on 127.0.0.1:3050"
            return 0
        fi
        sleep 0.2
    done
    echo "Firebird server did not start" >&2
    return 1
}

stop() {
    /etc/init.d/firebird3.0 stop >/dev/null 2>&1 || true
    pkill -x fbguard 2>/dev/null || true
    pkill -x firebird 2>/dev/null || true
    for _ in $(seq 1 25); do server_running || return 0; sleep 0.2; done
    pkill -9 -x firebird 2>/dev/null || true
}

case "${1:-start}" in
start) start ;;
stop) stop ;;
*) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
