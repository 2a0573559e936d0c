#!/usr/bin/env bash
# zorvane on headless compositors of its own: on sway, every output shows
# zorvane-render's frame for its seed at its device pixels (one at scale
# 2, one at scale 1.5 where the compositor offers fractional scales),
# black from the first configure; the idle daemon starts it and a key ends
# it; the pointer and button rules; signals at a million points; no frames
# while the compositor asks for none (stopped, or an output powered off
# where sway can); outputs that come and go; --wallpaper under a window;
# and weston's full-screen fallback.
# Usage: saver_wayland_test.sh ZORVANE ZORVANE-RENDER VIRTUAL-POINTER
source "$(dirname "$0")/wayland_lib.sh"
provide "$1" "$3"
render=$2
zorvane=$bin/zorvane
out=$tmp/zorvane.out
still=(--frame-ms 4000 --clear-ms 600000)   # a new attractor over the last every 4 s, no clear
source "$(dirname "$0")/frames_lib.sh"

# A picture shows one of its frames: the first 20 as zorvane-render makes
# them are its references, each kept as the digest of its pixels (or of
# the pixels in a region, WxH+X+Y). They last 80 s from the picture's
# start, and are made before it starts (which takes a minute or more on a
# loaded machine): the wait for a shot that matches, up to $patience s (a
# 4K shot compared takes seconds there), has them all. Each wait is
# reported.
patience=60
watch() {  # watch COMMAND...: poll_for $patience s COMMAND, saying how long it took
    local t0 status
    t0=$(date +%s%N)
    poll_for "$patience" "$@"
    status=$?
    echo "waited $(( ($(date +%s%N) - t0) / 1000000 )) ms (at most ${patience} s) for: $*"
    return "$status"
}
anew() {  # anew OUT COMMAND...: ends the run launch started ($pid), then launches COMMAND
    kill "$pid"
    reap "$pid"
    launch "$@"
}
drawing() { grep -q -E 'wl_surface[@#][0-9]+\.attach\(wl_buffer' "$out"; }  # a frame sent (WAYLAND_DEBUG=1)
ends() {  # ends WHAT: the run ends by itself, with status 0
    check "$1: ends" wait_for 10 gone "$pid"
    reap "$pid" 2
    check "$1: exit status 0 (got $status)" test "$status" = 0
}
seed_of() { announced_seed "$1" 900 "$out"; }  # seed_of OUTPUT: the seed it got in this run

# Two outputs, the second at scale 2 (800 x 600 logical, 1600 x 1200
# device pixels): seeds 900 and 901 in the order sway announced them.
start_sway 'output HEADLESS-1 position 0 0' 'output HEADLESS-2 position 1280 0 resolution 1600x1200 scale 2'
# A first run tells which seed each output gets; the references are made,
# then the run that is watched starts.
launch "$out" env WAYLAND_DEBUG=1 "$zorvane" --seed 900 "${still[@]}"
check "the outputs are announced" wait_for 10 eval 'seed1=$(seed_of HEADLESS-1) && seed2=$(seed_of HEADLESS-2)'
reference one "$seed1" 1280x720
reference two "$seed2" 1600x1200
anew "$out" env WAYLAND_DEBUG=1 "$zorvane" --seed 900 "${still[@]}"
check "again, in the same order" wait_for 10 eval '[ "$(seed_of HEADLESS-1) $(seed_of HEADLESS-2)" = "$seed1 $seed2" ]'
check "HEADLESS-1 shows zorvane-render's frames for seed $seed1 at 1280x720" watch shows HEADLESS-1 one
check "HEADLESS-2 (scale 2) shows zorvane-render's frames for seed $seed2 at 1600x1200" watch shows HEADLESS-2 two
# A new mode: a new picture of the new size, and at 3840x2160 device
# pixels the shared zoom rule: drawn at 1920x1080, each point a 2x2 block.
# (Its references are made first: the new picture starts with the mode.)
reference big "$seed2" 3840x2160
sway_do output HEADLESS-2 resolution 3840x2160
check "HEADLESS-2 at 3840x2160: zorvane-render's frames at that size, zoomed" watch shows HEADLESS-2 big
sway_do output HEADLESS-2 resolution 1600x1200
check "an overlay layer surface, not a window" grep -q 'zwlr_layer_shell_v1[@#][0-9]*\.get_layer_surface(.*, 3, "zorvane")' "$out"
kill "$pid"
reap "$pid"
check "SIGTERM: exit status 0 (got $status)" test "$status" = 0
# A start-up failure ends it with 1, its box shown once for both outputs.
in_session "$zorvane" --points 4294967295 >"$out" 2>&1
status=$?
check "too many points: exit status 1 (got $status)" test "$status" = 1
check "too many points: the box once ($(wc -l <"$out") lines)" grep -qx "Memory Error: Cannot allocate memory for point buffer!" "$out"
check "too many points: nothing else" test "$(wc -l <"$out")" = 1
# An X11 target keeps its X11 meaning (and there is no X display here).
in_session "$zorvane" --root >"$out" 2>&1
status=$?
check "--root with WAYLAND_DISPLAY set: X11's, exit status 1 (got $status)" eval '[ "$status" = 1 ] && grep -q "cannot open the display" "$out"'


# The idle daemon starts it after its timeout; a key ends it with 0. It is
# swayidle's grandchild, so its status comes back through a file.
printf '#!/bin/sh\n"%s" "$@"\necho $? >"%s"\n' "$zorvane" "$tmp/status" >"$bin/saver"
chmod 755 "$bin/saver"
chmod 777 "$tmp"
launch "$tmp/idle.out" swayidle -w timeout 1 "$bin/saver --seed 900 ${still[*]}"
idle=$pid
saver_pid() { pgrep -u nobody -xf "$zorvane --seed 900 ${still[*]}" >/dev/null; }
check "swayidle starts it after its timeout" wait_for 10 saver_pid
kill -KILL "$idle"  # with -w it hears signals only once its command ends
reap "$idle" 2>/dev/null
check "started by swayidle: HEADLESS-1 shows its picture" watch shows HEADLESS-1 one
in_session wtype -s 300 x
check "started by swayidle: a key ends it with status 0" wait_for 10 grep -qx 0 "$tmp/status"

# The pointer: 3 pixels from where it first appeared is not enough, 4 is;
# a button.
start_pointer
launch "$out" "$zorvane" --seed 900 "${still[@]}"
check "pointer: HEADLESS-1 shows its picture" watch shows HEADLESS-1 one
sway_do seat - cursor move 3 0
check "pointer moved 3 pixels: still running" alive "$pid"
sway_do seat - cursor move 0 1
ends "pointer moved 4 pixels"
launch "$out" "$zorvane" --seed 900 "${still[@]}"
check "button: HEADLESS-1 shows its picture" watch shows HEADLESS-1 one
sway_do seat - cursor press button1
sway_do seat - cursor release button1
ends "a button"

# Signals at a million points and 10 ms frames: the time to the exit is
# reported; only a bound no loaded machine reaches is asserted.
busy=(--points 1000000 --frame-ms 10 --blank 1)
for sig in TERM INT HUP; do
    launch "$out" env WAYLAND_DEBUG=1 "$zorvane" "${busy[@]}"
    check "SIG$sig: drawing" wait_for 20 drawing
    t0=$(date +%s%N)
    kill -"$sig" "$pid"
    reap "$pid"
    ms=$(( ($(date +%s%N) - t0) / 1000000 ))
    echo "SIG$sig at 1000000 points, 10 ms frames, to exit: $ms ms"
    check "SIG$sig: exit status 0 (got $status)" test "$status" = 0
    [ "${ZORVANE_SANITIZED:-0}" = 1 ] || check "SIG$sig: ends within 2 s ($ms ms)" test "$ms" -le 2000
done

# No frame without the compositor asking for one: with sway stopped, no
# frame callback comes and the busy saver falls idle; running, it draws.
# (The pointer waits on HEADLESS-2, which is taken away further on.)
ticks_in_a_second() {  # the CPU ticks PID takes in a second; fails once PID is gone
    local t0 t1
    t0=$(cpu_ticks "$1") && sleep 1 && t1=$(cpu_ticks "$1") && [ "$t0" != - ] && [ "$t1" != - ] &&
        echo $((t1 - t0))
}
sway_do seat - cursor set 1680 300
launch "$out" env WAYLAND_DEBUG=1 "$zorvane" "${busy[@]}"
check "pacing: drawing" wait_for 20 drawing
running=$(ticks_in_a_second "$pid")
kill -STOP "$compositor_pid"
idle() { stopped=$(ticks_in_a_second "$pid") && [ "$stopped" -le 3 ]; }
check "pacing: with the compositor stopped, it falls idle" wait_for 10 idle
kill -CONT "$compositor_pid"
resumed() { local n; n=$(ticks_in_a_second "$pid") && [ "$n" -ge 10 ]; }
check "pacing: the compositor back, it draws again" wait_for 10 resumed
echo "CPU ticks a second ($(getconf CLK_TCK) a second of CPU): compositor running $running, stopped $stopped"
check "pacing: busy while the compositor runs ($running ticks)" test "${running:-0}" -ge 10
# The output under the pointer taken away: the compositor puts the pointer
# on the one left, which is not the user moving it.
drawn_after_enter() {  # a frame sent after the last pointer enter
    awk -v from="$1" 'NR > from && /wl_pointer[@#][0-9]+\.enter\(/ { e = NR }
        e && NR > e && /wl_surface[@#][0-9]+\.attach\(wl_buffer/ { found = 1 } END { exit !found }' "$out"
}
lines=$(wc -l <"$out")
sway_do output HEADLESS-2 disable
check "the output under the pointer taken away: it draws on after the pointer's enter" wait_for 10 drawn_after_enter "$lines"
check "the output under the pointer taken away: still running" alive "$pid"
# An output powered off (sway 1.7's headless outputs cannot be): nothing
# is drawn for it.
if in_session swaymsg output HEADLESS-1 power off >/dev/null 2>&1; then
    check "powered off: it falls idle" wait_for 10 idle
    in_session swaymsg output HEADLESS-1 power on >/dev/null
    check "powered on: it draws again" wait_for 10 resumed
else
    echo "SKIP: this sway cannot power off a headless output"
fi
kill "$pid"
reap "$pid"

# --wallpaper: under a window (floating, in the middle of HEADLESS-1), and
# a key leaves it running.
sway_do output HEADLESS-2 enable
sway_do 'for_window [app_id="flower"] floating enable'
sway_do seat - cursor set 1600 300
launch "$out" env WAYLAND_DEBUG=1 "$zorvane" --wallpaper --seed 900 "${still[@]}"
check "wallpaper: the outputs are announced" wait_for 10 eval 'seed1=$(seed_of HEADLESS-1)'
reference wall "$seed1" 1280x720
sums corner wall 400x150+0+0
anew "$out" env WAYLAND_DEBUG=1 "$zorvane" --wallpaper --seed 900 "${still[@]}"
wallpaper=$pid
check "wallpaper: again, in the same order" wait_for 10 eval '[ "$(seed_of HEADLESS-1)" = "$seed1" ]'
check "wallpaper: HEADLESS-1 shows its picture" watch shows HEADLESS-1 wall
launch "$tmp/window.out" weston-flower  # a small window in the middle
under_window() {  # a corner shows the picture, the middle the window's light flower
    grab HEADLESS-1 "$tmp/shot.png" && is_frame "$tmp/shot.png" corner 400x150+0+0 &&
        [ "$(convert "$tmp/shot.png" -crop 100x100+590+310 -format '%[fx:mean>0.3]' info:)" = 1 ]
}
check "wallpaper: a window lies over it, the rest shows it" watch under_window
in_session wtype -s 300 x
check "wallpaper: a key leaves it running" alive "$wallpaper"
kill "$pid" "$wallpaper"
reap "$pid"
pid=$wallpaper
reap "$pid"
check "wallpaper: SIGTERM ends it with 0 (got $status)" test "$status" = 0

# Black from the first configure: with 4 s to the first frame (which is
# never all black), every output shows all black first, where the desktop
# (a solid background, swaybg's) showed before it started. And where the
# compositor offers fractional scales (its globals, in the run's protocol
# trace), an output of 1200x900 at scale 1.5 shows zorvane-render's
# 1200x900 frames, point for point.
black() {  # black OUTPUT: every pixel of it
    grab "$1" "$tmp/shot.png" && [ "$(convert "$tmp/shot.png" -format '%[fx:maxima]' info:)" = 0 ]
}
start_sway 'output * bg #336699 solid_color' 'output HEADLESS-1 position 0 0' \
    'output HEADLESS-2 position 1280 0 resolution 1200x900 scale 1.5'
desktop() { ! black HEADLESS-1 && ! black HEADLESS-2; }
check "before it starts: the desktop shows on HEADLESS-1 and HEADLESS-2" poll_for 10 desktop
launch "$out" env WAYLAND_DEBUG=1 "$zorvane" --seed 900 --frame-ms 4000 --clear-ms 600000
t0=$(date +%s%N)
all_black() { black HEADLESS-1 && black HEADLESS-2 && echo "every output black $(( ($(date +%s%N) - t0) / 1000000 )) ms after the start"; }
check "first frame 4 s away: every output black first" poll_for 10 all_black
if grep -q 'wl_registry[@#][0-9]*\.global([0-9]*, "wp_fractional_scale_manager_v1"' "$out"; then
    seed2=$(seed_of HEADLESS-2)
    reference frac "$seed2" 1200x900
    check "HEADLESS-2 at scale 1.5 shows zorvane-render's frames for seed $seed2 at 1200x900" poll_for 20 shows HEADLESS-2 frac
else
    echo "SKIP: this compositor offers no fractional scale"
fi
kill "$pid"
reap "$pid"

# Outputs that come and go, on a sway nested in a headless one: an added
# output gets the next seed; a removed one goes, and the others stay.
outputs=1 start_sway
nest_sway
launch "$out" env WAYLAND_DEBUG=1 "$zorvane" --seed 900 "${still[@]}"
check "nested: the outputs are announced" wait_for 10 eval 'seed1=$(seed_of WL-1) && seed2=$(seed_of WL-2)'
reference wl1 "$seed1" 1280x720
reference wl2 "$seed2" 1280x720
reference wl3 902 1280x720
anew "$out" env WAYLAND_DEBUG=1 "$zorvane" --seed 900 "${still[@]}"
check "nested: again, in the same order" wait_for 10 eval '[ "$(seed_of WL-1) $(seed_of WL-2)" = "$seed1 $seed2" ]'
check "nested: WL-1 shows seed $seed1" watch shows WL-1 wl1
sway_do create_output
check "an output added: WL-3 shows seed 902" watch shows WL-3 wl3
"${outer[@]}" swaymsg '[title="wlroots - WL-1"] kill' >/dev/null
check "an output removed: still running" alive "$pid"
# (A nested sway 1.10 gives grim no frame of WL-2 while WL-1 is there.)
check "an output removed: WL-2 shows seed $seed2" watch shows WL-2 wl2
check "an output removed: WL-3 still shows seed 902" shows WL-3 wl3
check "an output removed: the others keep their surfaces" test "$(grep -c 'get_layer_surface(' "$out")" = 3
in_session wtype -s 300 x
ends "nested: a key"

# weston has no layer shell: a full-screen window at device pixels on a
# scale-2 output. Its headless backend has no seat, so no key reaches it.
start_weston 800 600 2
reference weston 900 1600x1200
launch "$out" "$zorvane" --seed 900 "${still[@]}"
mkdir -m 777 "$tmp/weston-shots"
weston_shows() {
    rm -f "$tmp"/weston-shots/*
    (cd "$tmp/weston-shots" && in_session weston-screenshooter) &&
        is_frame "$tmp"/weston-shots/*.png weston
}
check "weston: a full-screen window shows seed 900's frames at 1600x1200" watch weston_shows
kill "$pid"
reap "$pid"
check "weston: SIGTERM ends it with 0 (got $status)" test "$status" = 0
finish
