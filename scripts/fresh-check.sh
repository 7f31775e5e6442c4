#!/bin/bash
# Proves the README's two commands on a bare Debian 12: makes (once, then cached) a minimal
# bookworm system with debootstrap, copies the committed tree into a fresh copy of it, runs the
# test command there and starts the run command for a minute, and reports both.
#   bash scripts/fresh-check.sh [SECONDS]     (how long the program must stay up; 60)
# TAVREL_FRESH_DIR names the cache folder (/var/cache/tavrel-fresh). Needs root and debootstrap.
# It mounts and unmounts only what it mounted and ends only processes whose root is its system;
# package scripts there start no services.
set -euo pipefail
cd "$(dirname "$0")/.."
SOURCE=$PWD
RUN_SECONDS=${1:-60}
CACHE=${TAVREL_FRESH_DIR:-/var/cache/tavrel-fresh}
BASE=$CACHE/bookworm-minbase.tar
ARCHIVES=$CACHE/archives
ROOT=$CACHE/root.$$
MIRROR=${TAVREL_FRESH_MIRROR:-http://deb.debian.org/debian}
MOUNTED=()

say() { echo "fresh-check: $*" >&2; }

make_base() {
    [ -f "$BASE" ] && return 0
    command -v debootstrap >/dev/null || { say "debootstrap is not installed"; exit 1; }
    local tmp=$CACHE/base.$$
    say "making a minimal Debian 12 system (cached in $BASE)"
    debootstrap --variant=minbase bookworm "$tmp" "$MIRROR" >"$CACHE/debootstrap.log" 2>&1 ||
        { say "debootstrap failed, see $CACHE/debootstrap.log"; rm -rf "$tmp"; exit 1; }
    tar -C "$tmp" -cf "$BASE.part" . && mv "$BASE.part" "$BASE"
    rm -rf "$tmp"
}

mount_into() {
    local kind=$1 what=$2 where=$ROOT$3
    mkdir -p "$where"
    if [ "$kind" = bind ]; then
        mount --bind "$what" "$where"
    else
        mount -t "$kind" "$what" "$where"
    fi
    MOUNTED=("$where" "${MOUNTED[@]}")
}

# Processes started inside: their root is ours.
end_processes() {
    local pid signal
    for signal in TERM KILL; do
        for pid in $(ls /proc | grep -E '^[0-9]+$'); do
            [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$ROOT" ] && kill -"$signal" "$pid" 2>/dev/null
        done
        sleep 1
    done
    return 0
}

cleanup() {
    end_processes
    local where
    for where in "${MOUNTED[@]}"; do
        umount "$where" 2>/dev/null || umount -l "$where"
    done
    MOUNTED=()
    rm -rf --one-file-system "$ROOT"
}

prepare_root() {
    mkdir -p "$ROOT" "$ARCHIVES"
    tar -C "$ROOT" -xf "$BASE"
    trap cleanup EXIT
    cp /etc/resolv.conf "$ROOT/etc/resolv.conf" 2>/dev/null || true
    printf '#!/bin/sh\nexit 101\n' >"$ROOT/usr/sbin/policy-rc.d"
    chmod 755 "$ROOT/usr/sbin/policy-rc.d"
    mount_into proc proc /proc
    mount_into sysfs sys /sys
    mount_into bind /dev /dev
    mount_into devpts devpts /dev/pts
    mount_into tmpfs tmpfs /dev/shm
    # Downloaded packages are kept between checks; each check still installs them all.
    mount_into bind "$ARCHIVES" /var/cache/apt/archives
    mkdir -p "$ROOT/root/tavrel"
    git -C "$SOURCE" archive HEAD | tar -C "$ROOT/root/tavrel" -xf -
}

inside() {
    chroot "$ROOT" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        /bin/bash -c "cd /root/tavrel && $1"
}

check_tests() {
    local started=$SECONDS
    say "running the test command (bash scripts/test.sh); log: $CACHE/test.log"
    if inside "bash scripts/test.sh" >"$CACHE/test.log" 2>&1; then
        TEST_RESULT="passed"
    else
        TEST_RESULT="FAILED"
    fi
    TEST_RESULT+=" in $((SECONDS - started)) s: $(grep -E 'tests passed|tests failed' "$CACHE/test.log" | tail -n 1)"
}

# The program itself, started inside: its root is ours.
program_up() {
    local pid
    for pid in $(pgrep -x tavrel); do
        [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$ROOT" ] && return 0
    done
    return 1
}

check_run() {
    say "starting the run command (bash scripts/run.sh) for $RUN_SECONDS s; log: $CACHE/run.log"
    inside "timeout $RUN_SECONDS bash scripts/run.sh" >"$CACHE/run.log" 2>&1 &
    local runner=$! first='' last=''
    while kill -0 "$runner" 2>/dev/null; do
        if program_up; then
            last=$SECONDS
            first=${first:-$SECONDS}
        fi
        sleep 1
    done
    wait "$runner" || true
    # Up until the time ran out, not ended early by itself.
    if [ -n "$first" ] && [ $((SECONDS - last)) -le 3 ]; then
        RUN_RESULT="passed: the program was up for $((last - first)) s until stopped"
    elif [ -n "$first" ]; then
        RUN_RESULT="FAILED: the program ended by itself after $((last - first)) s"
    else
        RUN_RESULT="FAILED: the program was never seen running"
    fi
}

[ "$(id -u)" -eq 0 ] || { say "must run as root"; exit 1; }
mkdir -p "$CACHE"
make_base
prepare_root
check_tests
check_run
echo "test command: $TEST_RESULT"
echo "run command:  $RUN_RESULT"
[[ $TEST_RESULT == passed* && $RUN_RESULT == passed* ]]
