#!/usr/bin/env bash
# The full-screen saver on large screens follows the zoom rule: on a
# 3840 x 2160 display it shows zorvane-render's --zoom 0 frame (the
# 1920 x 1080 picture, each pixel a 2 x 2 block), on 2560 x 1440 the
# zoom-1 frame. The test has a Wine harness of its own (STATE), its display
# started at each size in turn, so that no other test's Wine is restarted.
#
# The saver seeds its random stream with the clock's seconds at start-up,
# before its window is shown; the seed is one of the seconds between
# starting it and seeing its window, and the screen must be the model's
# frame for one of them. Blank frames without rotation or new points are all
# the same frame.
# Usage: saver_zoom_test.sh SCR PROBE HARNESS STATE ARTIFACTS RENDER
cases=("3840x2160 0" "2560x1440 1")
screen=${cases[0]%% *}
"$3" start "$4" "${screen}x24" >/dev/null || exit 1
source "$(dirname "$0")/e2e_lib.sh"
trap '"$harness" stop "$state"' EXIT
fullscreen_timers_or_skip
render=$6
[ -x "$render" ] || { echo "build the native configuration first: $render is missing"; exit 1; }

pixels() { convert "$1" rgb:- 2>/dev/null | md5sum; }  # pixels FILE: a digest of the pixels alone
shows_model() {  # shows_model FILE: the screen, shot to FILE, is one of the frames in $models
    snap "$1" && grep -qxF "$(pixels "xwd:$1")" <<<"$models"
}
saver_x_window_shown() { [ -n "$(saver_x_window)" ]; }

for case in "${cases[@]}"; do
    read -r size zoom <<<"$case"
    if [ "$size" != "$screen" ]; then
        screen=$size
        "$harness" start "$state" "${size}x24" >/dev/null || exit 1
        eval "$("$harness" env "$state")"
    fi
    reg_clear
    for v in BlankScreen:1 EnableRotation:0 EnableContinuous:0 CLSTimer:600000 AnimationTimer:500; do
        reg_set "${v%%:*}" "${v##*:}"
    done
    first=$(date +%s)
    start_saver /s
    check "$size: the saver's window appears" wait_for 15 saver_x_window_shown
    last=$(date +%s)
    check "$size: picture appears" wait_for_pixels 20 "$artifacts/zoom.png"
    models=
    for seed in $(seq "$first" "$last"); do
        "$render" --seed "$seed" --blank 1 --rotate 0 --continuous 0 --frame-ms 500 --clear-ms 600000 \
            --width "${size%x*}" --height "${size#*x}" --zoom "$zoom" --frames 1 --out "$artifacts/zoom-model.png"
        models+=$(pixels "$artifacts/zoom-model.png")$'\n'
    done
    echo "$size: $((last - first + 1)) candidate seeds"
    shown=yes
    if ! wait_for 2 shows_model "$artifacts/zoom-$size.xwd"; then
        shown=no
        convert "xwd:$artifacts/zoom-$size.xwd" "$artifacts/zoom-$size.png"
        echo "$size: $(differ "$artifacts/zoom-$size.png" "$artifacts/zoom-model.png") pixels differ from seed $last's frame"
    fi
    check "$size: zorvane-render --zoom $zoom's frame for a seed of $first..$last" test $shown = yes
    send_key "$(saver_x_window)" Escape
    check "$size: a key ends it with 0" exited 10 0
done
reg_clear
finish_e2e
