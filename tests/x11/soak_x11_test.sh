#!/usr/bin/env bash
# The X11 saver over a long run: its X resources, its shared memory
# segments and its resident memory are the same at the last second as at
# the first, drawing at the defaults and in a window resized again and
# again (as XScreenSaver's preview does). ZORVANE_SOAK=1 runs 60 s each,
# otherwise 5 s. Under the sanitizers (ZORVANE_SANITIZED=1) resident memory
# is only reported: it holds the sanitizer's quarantine of freed blocks,
# which grows on its own; the build without them checks it, and
# LeakSanitizer checks for leaks.
# Usage: soak_x11_test.sh ZORVANE WINDOW-PROBE
source "$(dirname "$0")/x11_lib.sh"
zorvane=$1 probe=$2
seconds=5
[ "${ZORVANE_SOAK:-0}" = 1 ] && seconds=60

start_xvfb 1024x768
coproc PROBE { "$probe"; }
ask() { echo "$*" >&"${PROBE[1]}"; read -r -t 10 answer <&"${PROBE[0]}"; }
resident() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
segments() { awk -v p="$1" '$5 == p' /proc/sysvipc/shm | wc -l; }
sample() {  # sample PID: "resources segments resident-kB"
    ask resources "$1"
    echo "$answer $(segments "$1") $(resident "$1")"
}

soak() {  # soak NAME PID [RESIZE-WINDOW]
    local name=$1 pid=$2 window=${3:-} first last i
    wait_for 5 drawn "$tmp/soak.png" "${window:-root}"
    sleep 1  # let the first frames settle before the first sample; the poll above bounds the start
    first=$(sample "$pid")
    for i in $(seq 1 $((seconds * 2))); do
        [ -n "$window" ] && { if [ $((i % 2)) = 0 ]; then ask resize 640 480; else ask resize 500 400; fi; }
        sleep 0.5
    done
    [ -n "$window" ] && ask resize 640 480
    sleep 0.5
    last=$(sample "$pid")
    echo "$name over $seconds s: resources, segments, resident kB: $first -> $last"
    read -r r0 s0 m0 <<<"$first"
    read -r r1 s1 m1 <<<"$last"
    check "$name: X resources held ($r0)" test "$r0" -gt 0
    check "$name: X resources flat" test "$r1" = "$r0"
    check "$name: one shared segment, start to end" test "$s0/$s1" = 1/1
    # Allocator and page noise stays well under 256 pages (1 MiB with 4 KiB
    # pages); a surface lost per resize is 1.2 MB each time.
    local limit=$((256 * $(getconf PAGESIZE) / 1024))
    [ "${ZORVANE_SANITIZED:-0}" = 1 ] ||
        check "$name: resident memory flat ($m0 -> $m1 kB, limit $limit kB)" test $((m1 - m0)) -le "$limit"
    check "$name: still running" alive "$pid"
    kill "$pid"
    reap "$pid"
    check "$name: SIGTERM ends it with 0" test "$status" = 0
}

"$zorvane" --root &
soak "defaults on the root" $!

ask create 0 0 640 480
win=$answer
"$zorvane" --window-id "$win" --blank 1 --points 50000 &
soak "blank spinning in a resized window" $! "$win"

finish
