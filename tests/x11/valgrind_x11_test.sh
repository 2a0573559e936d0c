#!/usr/bin/env bash
# The X11 saver under valgrind's memcheck, on the root window and in a
# window that is resized and then destroyed under it: no memory error and
# nothing definitely lost, however it ends.
# Usage: valgrind_x11_test.sh ZORVANE WINDOW-PROBE
source "$(dirname "$0")/x11_lib.sh"
zorvane=$1 probe=$2
memcheck=(valgrind --tool=memcheck --leak-check=full --errors-for-leak-kinds=definite --error-exitcode=99)

clean_log() {  # clean_log LOG: no error, nothing definitely lost
    grep -q "ERROR SUMMARY: 0 errors" "$1" &&
        { grep -q "definitely lost: 0 bytes" "$1" || grep -q "All heap blocks were freed" "$1"; }
}

start_xvfb 640x480
"${memcheck[@]}" --log-file="$tmp/root.log" "$zorvane" --root --points 2000 --frame-ms 100 &
pid=$!
check "root: draws under valgrind" wait_for 60 drawn "$tmp/shot.png"
kill -TERM "$pid"
reap "$pid" 60
check "root: SIGTERM ends it with 0 (got $status)" test "$status" = 0
check "root: no memory error, nothing definitely lost" clean_log "$tmp/root.log"

coproc PROBE { "$probe"; }
ask_seconds=30  # the probe waits for a saver slowed down by valgrind
ask create 0 0 300 200
win=$answer
"${memcheck[@]}" --log-file="$tmp/window.log" "$zorvane" --window-id "$win" --blank 1 --points 2000 --frame-ms 100 &
pid=$!
check "window: draws under valgrind" wait_for 60 drawn "$tmp/shot.png" "$win"
ask resize 400 300
check "window: draws after the resize" wait_for 60 drawn "$tmp/shot.png" "$win"
ask destroy
reap "$pid" 60
check "window destroyed: exit status 1 (got $status)" test "$status" = 1
check "window destroyed: no memory error, nothing definitely lost" clean_log "$tmp/window.log"
[ "$fails" -eq 0 ] || tail -n 30 "$tmp/root.log" "$tmp/window.log"
finish
