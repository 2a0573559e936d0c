#!/usr/bin/env bash
# zorvane --idle as a desktop meets it, on headless sway and KWin (the
# compositor's idle notifications) and on Xvfb (the X server's idle time;
# GNOME's idle monitor has a test of its own): it says what
# it listens to, shows every output zorvane-render's frames for its seed
# once the session is idle, a key ends the pictures and it waits again,
# the pictures come back, an idle inhibitor (sway's, or the X11 way of a
# video player) holds them off, signals end it with 0 waiting or showing,
# the session going away ends it with 1, and with no session at all it
# names what it tried.
# Usage: idle_watch_test.sh ZORVANE ZORVANE-RENDER IDLE-INHIBITOR VIRTUAL-POINTER
source "$(dirname "$0")/wayland_lib.sh"
provide "$1" "$3" "$4"
render=$2
zorvane=$bin/zorvane
still=(--frame-ms 1000 --clear-ms 600000)
source "$(dirname "$0")/frames_lib.sh"
reference_frames=30
out=$tmp/idle.out
rss_kb() { awk '/^VmRSS/ { print $2 }' "/proc/$1/status"; }
held_off() {  # held_off SECONDS COMMAND...: COMMAND never succeeds in that time
    local end=$(( $(date +%s) + $1 ))
    shift
    while [ "$(date +%s)" -lt "$end" ]; do
        "$@" && return 1
        sleep 0.5
    done
}

# Nothing to ask: one line naming what was tried, status 1.
env -i PATH="$PATH" "$zorvane" --idle 2 >"$out" 2>&1
status=$?
check "no session: exit status 1 (got $status)" test "$status" = 1
check "no session: one line naming what it tried" eval '[ "$(wc -l <"$out")" = 1 ] &&
    grep -q "org.gnome.Mutter.IdleMonitor.*Wayland: .*X11: " "$out"'

# sway: two outputs, seeds 900 and 901 in the order sway announces them.
# Both are 1280x720: the references of both seeds are made first.
reference s900 900 1280x720
reference s901 901 1280x720
start_sway 'output HEADLESS-1 position 0 0' 'output HEADLESS-2 position 1280 0'
launch "$out" env WAYLAND_DEBUG=1 "$zorvane" --idle 2 --seed 900 "${still[@]}"
watcher=$pid
check "sway: names the compositor's idle notifications" wait_for 10 \
    grep -qE '^zorvane: waiting for 2 s of idle time, as (ext_idle_notifier_v1|org_kde_kwin_idle) reports it$' "$out"
check "sway: once idle, the outputs are announced" wait_for 20 \
    eval 'seed1=$(announced_seed HEADLESS-1 900 "$out") && seed2=$(announced_seed HEADLESS-2 900 "$out")'
one=s${seed1:-900} two=s${seed2:-901}
check "sway: HEADLESS-1 shows zorvane-render's frames for seed ${seed1:-}" poll_for 20 shows HEADLESS-1 "$one"
check "sway: HEADLESS-2 shows zorvane-render's frames for seed ${seed2:-}" poll_for 20 shows HEADLESS-2 "$two"
showing_kb=$(rss_kb "$watcher")
in_session wtype -s 300 x
check "sway: a key ends the pictures" poll_for 10 eval '! shows HEADLESS-1 "$one"'
check "sway: a key: the watcher stays" alive "$watcher"
check "sway: idle again: the pictures come back" poll_for 20 shows HEADLESS-2 "$two"
# Input the pictures themselves let pass (a pointer move of one pixel)
# is still the user back: the session says so, and the pictures end.
start_pointer
check "sway: idle again after the virtual pointer came" poll_for 20 shows HEADLESS-2 "$two"
sway_do seat - cursor move 1 0
check "sway: the session reports input: the pictures end" poll_for 10 eval '! shows HEADLESS-2 "$two"'
check "sway: ... and come back" poll_for 20 shows HEADLESS-2 "$two"
# An inhibitor (a video playing) holds it off for three idle times; once
# it goes, the pictures come back.
launch "$tmp/inhibitor.out" "$bin/idle_inhibitor"
inhibitor=$pid
check "sway: the inhibitor is held" wait_for 10 grep -q ready "$tmp/inhibitor.out"
in_session wtype -s 300 x
check "sway: a key ends the pictures again" poll_for 10 eval '! shows HEADLESS-1 "$one"'
waiting_kb=$(rss_kb "$watcher")
check "sway: an inhibitor holds the pictures off" held_off 6 shows HEADLESS-1 "$one"
kill "$inhibitor"
check "sway: the inhibitor gone, they come back" poll_for 20 shows HEADLESS-1 "$one"
echo "resident memory of the watcher: ${waiting_kb:-?} kB waiting, ${showing_kb:-?} kB showing two 1280x720 outputs"
kill -TERM "$watcher"
reap "$watcher"
check "sway: SIGTERM while showing: exit status 0 (got $status)" test "$status" = 0
launch "$out" "$zorvane" --idle 600
check "sway: waiting" wait_for 10 grep -q '^zorvane: waiting' "$out"
kill -TERM "$pid"
reap "$pid"
check "sway: SIGTERM while waiting: exit status 0 (got $status)" test "$status" = 0
launch "$out" "$zorvane" --idle 600
check "sway: waiting for the compositor to go" wait_for 10 grep -q '^zorvane: waiting' "$out"
stop_compositor
reap "$pid"
check "sway: the compositor gone: exit status 1 (got $status)" test "$status" = 1
says_gone() { grep -q "went away" "$out" || { cat "$out" >&2; false; }; }
check "sway: the compositor gone: says so" says_gone

# KWin, KDE Plasma's compositor, on its virtual backend. It gives a test
# client neither screenshots nor input without KDE's authorisation, so the
# run's own protocol trace tells when pictures are shown: an inhibitor's
# window holds them off, and once it goes they come.
start_kwin() {
    stop_compositor
    new_session
    # A copy: the file capability kwin_wayland carries keeps a user from running it here.
    install -m 755 "$(command -v kwin_wayland)" "$bin/kwin_wayland"
    "${as_user[@]}" "$bin/kwin_wayland" --virtual --socket wayland-kwin --width 1024 --height 768 \
        </dev/null >"$tmp/kwin.log" 2>&1 &
    compositor_pid=$!
    wait_for 30 socket_in wayland-kwin >/dev/null || { cat "$tmp/kwin.log" >&2; exit 1; }
    session=("${as_user[@]}" WAYLAND_DISPLAY=wayland-kwin)
}
shown_on_kwin() { grep -q 'get_layer_surface(' "$out" && grep -qE 'wl_surface[@#][0-9]+\.attach\(wl_buffer' "$out"; }
start_kwin
launch "$tmp/inhibitor.out" "$bin/idle_inhibitor"
inhibitor=$pid
check "KWin: the inhibitor's window is shown" wait_for 20 grep -q ready "$tmp/inhibitor.out"
launch "$out" env WAYLAND_DEBUG=1 "$zorvane" --idle 2 --seed 900 "${still[@]}"
watcher=$pid
check "KWin: names the compositor's idle notifications" wait_for 10 \
    grep -qE '^zorvane: waiting for 2 s of idle time, as (ext_idle_notifier_v1|org_kde_kwin_idle) reports it$' "$out"
check "KWin: an inhibitor holds the pictures off" held_off 6 shown_on_kwin
kill "$inhibitor"
check "KWin: the inhibitor gone, the pictures are shown" wait_for 20 shown_on_kwin
kill -TERM "$watcher"
reap "$watcher"
check "KWin: SIGTERM while showing: exit status 0 (got $status)" test "$status" = 0
stop_compositor

# X11: the X server's idle time, on a display of its own.
start_xvfb 800x600
reference x 700 800x600
xshows() { shot "$tmp/x.png" && is_frame "$tmp/x.png" x; }
"$zorvane" --idle 2 --seed 700 "${still[@]}" >"$out" 2>&1 &
watcher=$!
check "X11: names the X server's idle time" wait_for 10 \
    grep -qx 'zorvane: waiting for 2 s of idle time, as XSync IDLETIME reports it' "$out"
check "X11: once idle, shows zorvane-render's frames for seed 700" poll_for 20 xshows
xdotool key a
check "X11: a key ends the pictures" poll_for 10 eval '! xshows'
check "X11: a key: the watcher stays" alive "$watcher"
check "X11: idle again: the pictures come back" poll_for 20 xshows
xdotool mousemove_relative 1 0
check "X11: the server reports a 1-pixel move: the pictures end" poll_for 10 eval '! xshows'
check "X11: ... and come back" poll_for 20 xshows
# A video player keeps an X11 display awake with XResetScreenSaver, as
# `xset s reset` does: that holds the pictures off; once it stops, they come.
xdotool key a
check "X11: a key ends the pictures again" poll_for 10 eval '! xshows'
( while :; do xset s reset; sleep 0.5; done ) &
resetting=$!
check "X11: resetting the screen saver holds the pictures off" held_off 6 xshows
kill "$resetting"
check "X11: the resets stopped, they come back" poll_for 20 xshows
kill -TERM "$watcher"
reap "$watcher"
check "X11: SIGTERM while showing: exit status 0 (got $status)" test "$status" = 0
"$zorvane" --idle 600 >"$out" 2>&1 &
watcher=$!
check "X11: waiting for the server to go" wait_for 10 grep -q '^zorvane: waiting' "$out"
stop_xvfb
reap "$watcher"
check "X11: the server gone: exit status 1 (got $status)" test "$status" = 1
check "X11: the server gone: a message" test -s "$out"
finish
