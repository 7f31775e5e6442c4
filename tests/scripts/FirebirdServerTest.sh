#!/bin/bash
# The private server of the server tests, started twice in a row and stopped twice: each start
# replaces the previous server, answers SYSDBA with the program's password in the program's
# character set, and every stop ends only the process it started. The machine's own Firebird
# processes are the same before and after. Exit 77: nothing to test with (CTest skips).
set -euo pipefail
shopt -s inherit_errexit
SCRIPT=$(cd "$(dirname "$0")/../../scripts" && pwd)/firebird-server.sh
if [ ! -x /usr/sbin/firebird ] || ! command -v isql-fb >/dev/null; then
    echo "no Firebird server installed"
    exit 77
fi
WORK=$(mktemp -d)
export TAVREL_FB_ROOT=$WORK/fbserver TAVREL_FB_PORT=3061
trap 'bash "$SCRIPT" stop; rm -rf "$WORK"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A process that runs (an ended one left unreaped has no program any more).
alive() { readlink "/proc/$1/exe" >/dev/null 2>&1; }

# Firebird processes that are not this test's.
others() {
    local mine dir
    mine=$(cat "$TAVREL_FB_ROOT/server.pid" 2>/dev/null || true)
    for dir in /proc/[0-9]*; do
        case $(readlink "$dir/exe" 2>/dev/null) in
        /usr/sbin/firebird | /usr/sbin/fbguard) [ "${dir#/proc/}" = "$mine" ] || echo "${dir#/proc/}" ;;
        esac
    done | sort
}

listening() { (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# Makes and drops a database through the server, as the program connects.
use_server() {
    local address file=$WORK/check.fdb
    address=$(cat "$TAVREL_FB_ROOT/address")
    printf "create database '%s:%s';\ndrop database;\n" "$address" "$file" |
        isql-fb -q -user SYSDBA -password lockstone -ch SJIS_0208 ||
        fail "the server at $address refused the program's connection"
    [ ! -e "$file" ] || fail "the database was not dropped"
}

start_once() {
    bash "$SCRIPT" start >/dev/null
    local pid
    pid=$(cat "$TAVREL_FB_ROOT/server.pid")
    alive "$pid" || fail "no server process $pid"
    use_server
    echo "$pid"
}

before=$(others)
first=$(start_once)
second=$(start_once)
[ "$first" != "$second" ] || fail "the second start kept the first server"
! alive "$first" || fail "the first server $first still runs"
port=$(cut -d/ -f2 "$TAVREL_FB_ROOT/address")
bash "$SCRIPT" stop
! alive "$second" || fail "the server $second still runs after stop"
! listening "$port" || fail "port $port still answers after stop"
[ ! -e "$TAVREL_FB_ROOT/address" ] || fail "the address stays after stop"
bash "$SCRIPT" stop || fail "a second stop fails"
[ "$(others)" = "$before" ] || fail "other Firebird processes changed: '$before' -> '$(others)'"
echo "private server started and stopped twice; other Firebird processes untouched"
