#!/usr/bin/env bash
# The preview (/p HWND) as the screen saver settings page sees it: a host
# program (preview_host) gives a window of the preview's usual size and an
# odd one; the saver fills it with zorvane-render's frame for its seed at
# that size, input does not end it, it takes no focus and shows no dialog,
# and it ends with 0 when the window goes. /p without a usable window ends
# at once with 0 and no window; a first run of the preview stores nothing.
#
# The seed is the clock's seconds at start-up, as in saver_zoom_test.sh:
# one of the seconds between starting the host and seeing the preview.
#
# Whether the screen can show the preview's pixels at all is found out
# first: preview_host itself, started as the saver, paints a child of the
# host window green in WM_PAINT. Wine 8 shows nothing a process draws in a
# child of another process's window (the host's background stays), while a
# child the host paints itself shows (the control's positive side). Where
# the other process's green does not show, the frame comparison is skipped
# and says so; every other check runs either way.
# Usage: saver_preview_test.sh SCR PROBE HARNESS STATE ARTIFACTS RENDER HOST LAUNCHER
source "$(dirname "$0")/e2e_lib.sh"
render=$6 host=$7 launcher=$8
[ -x "$render" ] || { echo "build the native configuration first: $render is missing"; exit 1; }

pixels() { convert "$1" rgb:- 2>/dev/null | md5sum; }
shows_model() {  # shows_model GEOMETRY FILE: that part of the screen is one of $models
    snap "$2" && grep -qxF "$(convert "xwd:$2" -crop "$1" +repage rgb:- 2>/dev/null | md5sum)" <<<"$models"
}

fifo=$artifacts/preview-in
host_pid=
host_ask() {  # host_ask COMMAND: the host's one-line answer to it, in $answer
    echo "$1" >&7
    answer=
    IFS= read -r -t 30 answer <&8
    answer=${answer%$'\r'}
}
stop_host() {
    exec 7>&- 8<&-
    [ -n "$host_pid" ] && { wait_for 10 gone "$host_pid" || kill "$host_pid" 2>/dev/null; }
    host_pid=
}
start_host() {  # start_host SCR WIDTHxHEIGHT: the host, its pipes on 7 and 8
    rm -f "$fifo" "$fifo.out" && mkfifo "$fifo" "$fifo.out"
    wine "$host" "$1" "$2" <"$fifo" >"$fifo.out" 2>/dev/null &
    host_pid=$!
    exec 7>"$fifo" 8<"$fifo.out"
}
green() {  # green GEOMETRY FILE: that part of the screen is all green
    snap "$2" && [ "$(convert "xwd:$2" -crop "$1" +repage -format '%k %[pixel:p{0,0}]' info: 2>/dev/null)" = "1 srgb(0,255,0)" ]
}
running() { host_ask state; [[ $answer == running=yes* ]]; }
ended() { host_ask state; [[ $answer == running=no* ]]; }
runs_on() { ! wait_for "$1" ended; }  # runs_on SECONDS: no end seen for that long

start_host "$host" 152x112
host_ask where
check "control: another process's child appears" test "${answer#child }" = "40 40 152 112"
cross_process_shown=no
poll_for 5 green 152x112+40+40 "$artifacts/preview-control.xwd" && cross_process_shown=yes
host_ask own
check "control: a child the host paints green itself shows" poll_for 5 green 152x112+40+40 "$artifacts/preview-control.xwd"
host_ask destroy
stop_host
echo "control: another process's drawing in a child window is shown: $cross_process_shown"

# A first preview on an empty registry writes nothing to it.
reg_clear
start_host "$scr" 152x112
host_ask where
check "empty registry: the preview appears" test "${answer#child }" = "40 40 152 112"
check "empty registry: the preview runs" running
host_ask destroy
stop_host
check "empty registry: the preview stored nothing" test "$(wine "$launcher" dump 2>/dev/null | tr -d '\r' | head -n 1)" = key=absent

for v in BlankScreen:1 EnableRotation:0 EnableContinuous:0 CLSTimer:600000 AnimationTimer:500; do
    reg_set "${v%%:*}" "${v##*:}"
done
for size in 152x112 201x97; do
    w=${size%x*} h=${size#*x}
    first=$(date +%s)
    start_host "$scr" "$size"
    host_ask where
    last=$(date +%s)
    check "$size: the preview fills the window" test "${answer#child }" = "40 40 $w $h"
    models=
    for seed in $(seq "$first" "$last"); do
        "$render" --seed "$seed" --blank 1 --rotate 0 --continuous 0 --frame-ms 500 --clear-ms 600000 \
            --width "$w" --height "$h" --frames 1 --out "$artifacts/preview-model.png"
        models+=$(pixels "$artifacts/preview-model.png")$'\n'
    done
    echo "$size: $((last - first + 1)) candidate seeds"
    if [ "$cross_process_shown" = yes ]; then
        check "$size: zorvane-render's frame for a seed of $first..$last" \
            poll_for 10 shows_model "${w}x${h}+40+40" "$artifacts/preview-$size.xwd"
    else
        echo "SKIP: $size: the frame on the screen: this display shows no drawing in another process's child window"
        snap "$artifacts/preview-$size.xwd"
    fi
    convert "xwd:$artifacts/preview-$size.xwd" -crop 300x200+0+0 +repage "$artifacts/preview-$size.png"

    # Input: a key, a press and a move sent to it, then the real pointer
    # over it, a click and a key. It must still run 2 s later (4 frames); the
    # same poll sees the end within a second of the window going.
    host_ask post
    xdotool mousemove 60 60 mousemove 120 100 click 1 key a 2>/dev/null
    check "$size: input does not end it: it still runs 2 s later" runs_on 2
    host_ask state
    check "$size: it takes no focus" test "$(awk '{print $2}' <<<"$answer")" != focus=child
    check "$size: no dialog appeared" test "$(awk '{print $3}' <<<"$answer")" = dialogs=0
    host_ask destroy
    echo "$size: the preview ended $answer after its window was destroyed"
    check "$size: the window going ends it with 0" test "${answer%% *}" = exit=0
    stop_host
done

# No usable window: no window at all and 0. /c, the positive control, makes one.
for tail in "/p" "/p 0" "/p:0" "/p 12ab" "/p 1" "/P:1"; do
    answer=$(wine "$host" "$scr" run "$tail" 10000 2>/dev/null | tr -d '\r')
    check "'$tail': exits 0 with no window" test "$answer" = "windows=0 exit=0"
done
answer=$(wine "$host" "$scr" run "/c" 15000 2>/dev/null | tr -d '\r')
check "'/c' (positive control): a window is seen" test "${answer%% *}" != windows=0

reg_clear
finish_e2e
