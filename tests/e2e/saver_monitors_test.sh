#!/usr/bin/env bash
# Two monitors side by side: Wine's display is a nested X server with an
# 800 x 600 screen (the primary, first in the system's list) and a 640 x 480
# one right of it. The saver covers both, each with zorvane-render's frame
# for its seed and size (S on the first, S + 1 on the second), none of the
# root (painted green first, and seen green: the positive control) shows on
# either, and the close rules hold across them: a key ends it, a move of 3
# pixels (one across the monitors' border) does not, one of 4 on either
# monitor does.
# Usage: saver_monitors_test.sh SCR PROBE HARNESS STATE ARTIFACTS RENDER PREVIEW-HOST
"$3" start "$4" 1600x700x24 800x600 640x480 >/dev/null || exit 1
source "$(dirname "$0")/e2e_lib.sh"
trap '"$harness" stop "$state"' EXIT
fullscreen_timers_or_skip
render=$6
[ -x "$render" ] || { echo "build the native configuration first: $render is missing"; exit 1; }

monitors=("800x600+0+0" "640x480+800+0")
digest() { convert "xwd:$1" -crop "$2" +repage rgb:- 2>/dev/null | md5sum; }  # digest XWD GEOMETRY
one_green() {  # one_green XWD GEOMETRY: that part of the screen is all root green
    [ "$(convert "xwd:$1" -crop "$2" +repage -format '%k %[pixel:p{0,0}]' info: 2>/dev/null)" = "1 srgb(0,255,0)" ]
}
saver_shown() { [ -n "$(saver_x_window)" ]; }
# Both monitors show the frames of seeds S and S + 1 for one candidate S.
shows_models() {
    snap "$1" || return 1
    local a b
    a=$(digest "$1" "${monitors[0]}") b=$(digest "$1" "${monitors[1]}")
    grep -qxF "$a $b" <<<"$models"
}
# The nested server can land a warp elsewhere: once a window over both
# monitors has gone with the pointer on the second, a warp onto the first
# stops at x = 639 (the second's width) however often it is made. So the
# border case runs before any saver ends on the second monitor, and every
# move is checked against where the server reports the pointer.
warped() { xdotool mousemove "$1" "$2" && [ "$(xdotool getmouselocation | cut -d' ' -f1-2)" = "x:$1 y:$2" ]; }
move_to() { wait_for 5 warped "$1" "$2" || { echo "the pointer did not reach ($1, $2): $(xdotool getmouselocation)"; return 1; }; }
start_at() {  # start_at X Y: the saver, with the pointer there, and its picture
    move_to "$1" "$2" || return 1
    start_saver /s
    wait_for 15 saver_shown && wait_for_pixels 20 "$artifacts/monitors.png"
}

# Where this Wine does not list the nested server's screens where they are,
# the saver covers what it lists, and there is nothing here to test: Debian
# 13's Wine 10 lists two monitors, both 800x600+0+0, so that the virtual
# screen, the saver's window and the pointer's reach end at x = 799.
listed=$(wine "$7" monitors 2>/dev/null | tr -d '\r' | tr '\n' ' ')
listed=${listed% }
if [ "$listed" != "${monitors[*]}" ]; then
    echo "SKIP: $(wine --version) lists the monitors as ${listed:-none}, not ${monitors[*]}"
    exit 77
fi
xsetroot -solid '#00ff00'
snap "$artifacts/monitors-root.xwd"
for m in "${monitors[@]}"; do
    check "before the saver, the root shows green on $m" one_green "$artifacts/monitors-root.xwd" "$m"
done

reg_clear
for v in BlankScreen:1 EnableRotation:0 EnableContinuous:0 CLSTimer:600000 AnimationTimer:500; do
    reg_set "${v%%:*}" "${v##*:}"
done
move_to 400 300
first=$(date +%s)
start_saver /s
check "the saver's window appears" wait_for 15 saver_shown
last=$(date +%s)
models=
for seed in $(seq "$first" "$last"); do
    pair=
    for i in 0 1; do
        size=${monitors[$i]%%+*}
        "$render" --seed $((seed + i)) --blank 1 --rotate 0 --continuous 0 --frame-ms 500 --clear-ms 600000 \
            --width "${size%x*}" --height "${size#*x}" --frames 1 --out "$artifacts/monitor-model-$i.png"
        pair+="${pair:+ }$(convert "$artifacts/monitor-model-$i.png" rgb:- | md5sum)"
    done
    models+=$pair$'\n'
done
echo "$((last - first + 1)) candidate seeds"
check "each monitor shows zorvane-render's frame: seed S at 800x600, S + 1 at 640x480 (S in $first..$last)" \
    poll_for 20 shows_models "$artifacts/monitors-saver.xwd"
convert "xwd:$artifacts/monitors-saver.xwd" "$artifacts/monitors-saver.png"
for m in "${monitors[@]}"; do
    check "no root green on $m" test "$(convert "xwd:$artifacts/monitors-saver.xwd" -crop "$m" +repage \
        -fill black +opaque '#00ff00' -format '%[fx:maxima.g]' info: 2>/dev/null)" = 0
done
send_key "$(saver_x_window)" Escape
check "a key ends it with 0" exited 10 0

# Moves, with frames that change (the defaults), so that drawing on shows
# the move was seen.
reg_clear
check "first monitor: picture appears" start_at 500 400
move_to 502 402
check "first monitor: a move of (2, 2) ends it with 0" exited 10 0
check "border: picture appears" start_at 798 300
move_to 801 300
check "border: 3 pixels onto the second monitor do not end it: it draws on" still_drawing 10
move_to 802 300
check "border: 4 pixels end it with 0" exited 10 0
check "second monitor: picture appears" start_at 1000 300
move_to 1002 301
check "second monitor: a move of (2, 1) does not end it: it draws on" still_drawing 10
move_to 1002 302
check "second monitor: a move of (2, 2) ends it with 0" exited 10 0

reg_clear
finish_e2e
