#!/usr/bin/env bash
# The Wayland client with a test picture (pattern_wayland), on headless
# compositors of its own: on sway, a picture per output at the output's
# device pixels (one output at scale 2), exactly; frames only when the
# compositor asks, never into a buffer it holds; the close rules (a key, a
# button, pointer motion of 4 pixels but not 3) and signals; outputs that
# come and go (on a sway nested in sway); a watched descriptor; the
# wallpaper layer; and on weston, which has no layer shell, the
# full-screen fallback.
# Usage: display_wayland_test.sh PATTERN-WAYLAND VIRTUAL-POINTER
source "$(dirname "$0")/wayland_lib.sh"
provide "$1" "$2"
pattern=$bin/pattern_wayland
out=$tmp/pattern.out

# The client numbers its pictures in the order the compositor announced
# the outputs (sway 1.7 announces HEADLESS-1 first, 1.10 HEADLESS-2).
index_of() { awk -v n="$1" '$1 == "picture" && $3 == n { print $2; exit }' "$out"; }  # index_of OUTPUT
made() { grep -q "^picture [0-9]* $1 $2\$" "$out"; }   # made OUTPUT WxH: a picture of that size for it
expect() {  # expect OUTPUT WxH [--steps N]: the last frame of OUTPUT's picture at that size, to $tmp/OUTPUT.ppm
    "$pattern" --expect "$(index_of "$1")" "${2%x*}" "${2#*x}" "${@:3}" >"$tmp/$1.ppm"
}
shows() {  # shows OUTPUT WxH: the output shows exactly its picture's frame, at that size
    grab "$1" "$tmp/shot.png" && [ "$(size_of "$tmp/shot.png")" = "$2" ] &&
        [ "$(differ "$tmp/shot.png" "$tmp/$1.ppm")" = 0 ]
}
ends() {  # ends WHAT: the run ends by itself, with status 0
    check "$1: ends" wait_for 10 gone "$pid"
    reap "$pid" 2
    check "$1: exit status 0 (got $status)" test "$status" = 0
}
start_pattern() {  # start_pattern: until the headless sway's first output shows the last frame
    launch "$out" "$pattern"
    wait_for 10 made HEADLESS-2 1600x1200 && poll_for 20 shows HEADLESS-1 1280x720
}

# Two outputs, the second at scale 2 (800 x 600 logical, 1600 x 1200
# device pixels). The protocol trace shows every attach of a surface comes
# after the frame callback of its previous commit, and never attaches a
# buffer the compositor has not released. A step every millisecond asks
# for many more frames than the compositor takes; the count is reported.
start_sway 'output HEADLESS-1 position 0 0' 'output HEADLESS-2 position 1280 0 resolution 1600x1200 scale 2'
launch "$out" env WAYLAND_DEBUG=1 "$pattern" --steps 2000 --step-ms 1
check "a 1280x720 picture for HEADLESS-1" wait_for 10 made HEADLESS-1 1280x720
check "a 1600x1200 picture for HEADLESS-2 at scale 2" wait_for 10 made HEADLESS-2 1600x1200
expect HEADLESS-1 1280x720 --steps 2000
expect HEADLESS-2 1600x1200 --steps 2000
check "HEADLESS-1 shows its picture's last frame, exactly" poll_for 20 shows HEADLESS-1 1280x720
check "HEADLESS-2 shows its picture's last frame at device pixels, exactly" poll_for 20 shows HEADLESS-2 1600x1200
kill "$pid"
reap "$pid"
# (libwayland 1.21 writes wl_surface@3 in its trace, 1.23 wl_surface#3)
announced=$(awk '
    / -> wl_registry[@#][0-9]+\.bind\([0-9]+, "wl_output"/ { id = $NF; gsub(/[^0-9]/, "", id); order[n++] = id; next }
    /wl_output[@#][0-9]+\.name\("/ { id = $0; sub(/.*wl_output[@#]/, "", id); sub(/\..*/, "", id)
        name[id] = $0; sub(/.*name\("/, "", name[id]); sub(/"\).*/, "", name[id]) }
    END { for (i = 0; i < n; i++) printf "%s %d\n", name[order[i]], i }' "$out")
check "pictures numbered in the order the outputs were announced" test "$announced" = "$(printf '%s %s\n' \
    HEADLESS-1 "$(index_of HEADLESS-1)" HEADLESS-2 "$(index_of HEADLESS-2)" | sort -k2)"
trace=$(awk '
    / -> wl_surface[@#][0-9]+\.frame\(/ { s = $0; sub(/.*wl_surface[@#]/, "", s); sub(/\..*/, "", s)
        c = $0; sub(/.*wl_callback[@#]/, "", c); sub(/\).*/, "", c); pending[s] = c; of[c] = s; next }
    /wl_callback[@#][0-9]+\.done\(/ { c = $0; sub(/.*wl_callback[@#]/, "", c); sub(/\..*/, "", c)
        if (c in of) { pending[of[c]] = ""; delete of[c] } next }
    /wl_buffer[@#][0-9]+\.release\(\)/ { b = $0; sub(/.*wl_buffer[@#]/, "", b); sub(/\..*/, "", b); held[b] = 0; next }
    / -> wl_buffer[@#][0-9]+\.destroy\(\)/ { b = $0; sub(/.*wl_buffer[@#]/, "", b); sub(/\..*/, "", b); held[b] = 0; next }
    / -> wl_surface[@#][0-9]+\.attach\(wl_buffer[@#]/ { s = $0; sub(/.*wl_surface[@#]/, "", s); sub(/\..*/, "", s)
        b = $0; sub(/.*wl_buffer[@#]/, "", b); sub(/,.*/, "", b); frames++
        if (pending[s] != "") early++
        if (held[b]) busy++
        held[b] = 1 }
    END { printf "%d %d %d\n", frames, early, busy }' "$out")
read -r frames early busy <<<"$trace"
echo "2000 steps of 1 ms: $frames frames presented on two outputs"
check "frames presented" test "$frames" -gt 2
check "no frame before the compositor asked for it ($early)" test "$early" = 0
check "no buffer drawn while the compositor held it ($busy)" test "$busy" = 0

# The close rules. wtype's keyboard exists only while it runs: it waits
# 300 ms before the key, so that the client can take the new keyboard.
expect HEADLESS-1 1280x720
start_pattern
in_session wtype -s 300 x
ends "a key"

start_pointer
start_pattern
sway_do seat - cursor move 3 0
check "pointer moved 3 pixels: still running" alive "$pid"
sway_do seat - cursor move 0 1
ends "pointer moved 4 pixels"
start_pattern
sway_do seat - cursor press button1
sway_do seat - cursor release button1
ends "a button"

# SIGTERM, SIGINT and SIGHUP while a step is due every millisecond; the
# time to the exit is reported, and only a bound no loaded machine reaches
# is asserted.
for sig in TERM INT HUP; do
    launch "$out" "$pattern" --steps 1000000 --step-ms 1
    check "SIG$sig: pictures made first" wait_for 10 made HEADLESS-2 1600x1200
    t0=$(date +%s%N)
    kill -"$sig" "$pid"
    reap "$pid"
    ms=$(( ($(date +%s%N) - t0) / 1000000 ))
    echo "SIG$sig to exit: $ms ms"
    check "SIG$sig: exit status 0 (got $status)" test "$status" = 0
    check "SIG$sig: ends within 2 s ($ms ms)" test "$ms" -le 2000
done

# A watched descriptor (a FIFO): nothing while no one writes to it; once
# its writer has written and closed it, the caller's status ends the run.
mkfifo -m 666 "$tmp/watch"
launch "$out" "$pattern" --watch "$tmp/watch"
check "watch: pictures made" wait_for 10 made HEADLESS-2 1600x1200
check "watch: unwritten, still running" alive "$pid"
echo end >"$tmp/watch"
ends "watch: written and closed"

# --wallpaper: the background layer, and input leaves it running (a key
# ended the overlay above). It takes no pointer, so sway draws its cursor
# over it: the cursor goes to the other output first.
sway_do seat - cursor set 1600 300
launch "$out" "$pattern" --wallpaper
check "wallpaper: HEADLESS-1 shows its picture" poll_for 20 shows HEADLESS-1 1280x720
in_session wtype -s 300 x
check "wallpaper: a key leaves it running" alive "$pid"
kill "$pid"
reap "$pid"

# Outputs that come and go, on a sway nested in a headless one: an output
# created while it runs gets the next picture; one that goes away
# releases its own, and the others keep theirs.
outputs=1 start_sway
nest_sway
launch "$out" "$pattern"
check "nested: pictures for WL-1 and WL-2" wait_for 10 eval 'made WL-1 1280x720 && made WL-2 1280x720'
sway_do create_output
check "an output added: picture 2 for WL-3" wait_for 10 grep -q '^picture 2 WL-3 1280x720$' "$out"
expect WL-2 1280x720
expect WL-3 1280x720
check "the added output shows its picture" poll_for 20 shows WL-3 1280x720
"${outer[@]}" swaymsg '[title="wlroots - WL-1"] kill' >/dev/null
check "an output removed: its picture released" wait_for 10 grep -q "^released $(index_of WL-1)\$" "$out"
check "an output removed: still running" alive "$pid"
check "an output removed: WL-2 still shows its picture" poll_for 20 shows WL-2 1280x720
check "an output removed: WL-3 still shows its picture" shows WL-3 1280x720
check "an output removed: the others' pictures kept" test "$(grep -c -e '^released' -e '^picture' "$out")" = 4
in_session wtype -s 300 x
ends "nested: a key"

# weston has no layer shell: a full-screen xdg_toplevel, at device pixels
# on a scale-2 output. Its headless backend has no seat (no keys, no
# pointer); its screenshots need --debug, and are written to the folder
# the screenshot client runs in.
start_weston 800 600 2
launch "$out" "$pattern"
check "weston: a 1600x1200 picture at scale 2" wait_for 10 made headless 1600x1200
expect headless 1600x1200
mkdir -m 777 "$tmp/weston-shots"
weston_shows() {
    rm -f "$tmp"/weston-shots/*
    (cd "$tmp/weston-shots" && in_session weston-screenshooter) &&
        [ "$(differ "$tmp"/weston-shots/*.png "$tmp/headless.ppm")" = 0 ]
}
check "weston: the output shows the picture's last frame, exactly" poll_for 20 weston_shows
kill "$pid"
reap "$pid"
check "weston: SIGTERM ends it with status 0 (got $status)" test "$status" = 0
finish
