#!/usr/bin/env bash
# The X11 saver as XScreenSaver and a user meet it, on a private Xvfb:
# where it draws, that its first frame is exactly zorvane-render's, that it
# follows a window's size, the --fullscreen close rules, signals, a window
# or display that goes away, bad options, the config file and the login
# entry of --autostart (in an XDG_CONFIG_HOME of the test's own).
# Usage: saver_x11_test.sh ZORVANE ZORVANE-RENDER WINDOW-PROBE ARTIFACT-DIR
source "$(dirname "$0")/x11_lib.sh"
zorvane=$1 render=$2 probe=$3 artifacts=$4
mkdir -p "$artifacts"
err=$tmp/err

# --root draws attractor pixels within 2 s.
start_xvfb 640x480
"$zorvane" --root 2>"$err" &
pid=$!
check "--root: attractor pixels within 2 s" wait_for 2 drawn "$tmp/root.png"
colourful() { shot "$tmp/many.png" && [ "$(colours "$tmp/many.png")" -ge 5 ]; }
check "--root: new attractors painted over the old ones" wait_for 5 colourful
cp "$tmp/many.png" "$artifacts/zorvane-root.png"
kill "$pid"
reap "$pid"

# SIGTERM, SIGINT, SIGHUP: exit 0, with nothing on stderr (the sanitizer
# build would report leaks or errors there). Each run has a fresh black
# root, and is signalled once its own first frame is there, so its
# handlers are in place. A frame period shorter than a frame takes must not
# hold the signal back. The times are measured and reported; the bound is
# one a loaded machine does not reach.
signal_ends() {  # signal_ends SIG ARGS...
    local sig=$1
    shift
    start_xvfb 640x480
    "$zorvane" --root "$@" 2>"$err" &
    pid=$!
    check "SIG$sig ($*): drawn first" wait_for 20 drawn "$tmp/s.png"
    local t0=$(date +%s%N)
    kill -"$sig" "$pid"
    reap "$pid"
    local ms=$(( ($(date +%s%N) - t0) / 1000000 ))
    echo "SIG$sig to exit ($*): $ms ms"
    check "SIG$sig ($*): exit status 0 (got $status)" test "$status" = 0
    check "SIG$sig ($*): nothing on stderr" test ! -s "$err"
    [ "${ZORVANE_SANITIZED:-0}" = 1 ] || check "SIG$sig ($*): ends within 2 s ($ms ms)" test "$ms" -le 2000
}
signal_ends TERM --frame-ms 200
signal_ends INT --frame-ms 200
signal_ends HUP --frame-ms 200
signal_ends TERM --points 5000000 --frame-ms 10 --blank 1

# The first frame equals zorvane-render's first frame, pixel for pixel,
# in both modes; a fresh display each time, so the root starts black.
for blank in 0 1; do
    start_xvfb 800x600
    opts=(--seed 4242 --blank "$blank" --frame-ms 3000 --clear-ms 60000)
    "$zorvane" --root "${opts[@]}" &
    pid=$!
    wait_for 10 drawn "$tmp/first.png"
    kill "$pid"
    reap "$pid"
    "$render" "${opts[@]}" --width 800 --height 600 --frames 1 --out "$tmp/ref.png"
    check "first frame, --blank $blank: identical to zorvane-render" test "$(differ "$tmp/first.png" "$tmp/ref.png")" = 0
done

# --zoom: each point an N x N block, the picture made at the screen's size
# divided by N; a 3840 x 2160 screen is zoomed 2 by itself, and
# zorvane-render gives the same frame with the same --zoom. Every frame is
# the same one (no clear, spin or re-walk), however slow the screenshot.
for zoomed in "3840x2160 --zoom 0" "640x480 --zoom 2"; do
    read -r screen zoom <<<"$zoomed"
    start_xvfb "$screen"
    opts=(--seed 555 --blank 1 --rotate 0 --continuous 0 --frame-ms 500 --clear-ms 600000)
    "$zorvane" --root "${opts[@]}" $zoom &
    pid=$!
    wait_for 20 drawn "$tmp/zoomed.png"
    kill "$pid"
    reap "$pid"
    "$render" "${opts[@]}" $zoom --width "${screen%x*}" --height "${screen#*x}" --frames 1 --out "$tmp/ref.png"
    check "$screen $zoom: zorvane-render's frame with the same zoom" \
        test "$(differ "$tmp/zoomed.png" "$tmp/ref.png")" = 0
done

# --window-id: only that window is drawn in; after a resize the picture is
# rebuilt for the new size, centred, with the same attractor (same seed,
# no clear, no spin, no re-walk: the new frame is zorvane-render's first
# frame at the new size).
start_xvfb 640x480
coproc PROBE { "$probe"; }
echo "create 100 50 300 200" >&"${PROBE[1]}"
read -r -t 10 win <&"${PROBE[0]}"
opts=(--seed 77 --blank 1 --rotate 0 --continuous 0 --frame-ms 100 --clear-ms 600000)
# As XScreenSaver's settings program starts it for its preview: with --root
# too, which --window-id overrides.
"$zorvane" --root "${opts[@]}" --window-id "$win" 2>"$err" &
pid=$!
check "--root --window-id: draws in the window" wait_for 5 drawn "$tmp/win.png" "$win"
shot "$tmp/screen.png"
convert "$tmp/screen.png" -fill black -draw "rectangle 100,50 399,249" "$tmp/outside.png"
check "--window-id: nothing drawn outside it" test "$(colours "$tmp/outside.png")" = 1
"$render" "${opts[@]}" --width 300 --height 200 --frames 1 --out "$tmp/ref300.png"
check "--window-id: the frame is zorvane-render's at 300 x 200" test "$(differ "$tmp/win.png" "$tmp/ref300.png")" = 0
echo "resize 420 330" >&"${PROBE[1]}"
read -r -t 10 _ <&"${PROBE[0]}"
"$render" "${opts[@]}" --width 420 --height 330 --frames 1 --out "$tmp/ref420.png"
same_as_ref420() { shot "$tmp/win2.png" "$win" && [ "$(differ "$tmp/win2.png" "$tmp/ref420.png")" = 0 ]; }
check "resized: the frame is rebuilt, centred at 420 x 330" wait_for 5 same_as_ref420

# The window destroyed under it: status 1, one line, no sanitizer report.
echo "destroy" >&"${PROBE[1]}"
read -r -t 10 _ <&"${PROBE[0]}"
check "destroyed window: it ends" wait_for 5 gone "$pid"
reap "$pid"
check "destroyed window: exit status 1 (got $status)" test "$status" = 1
check "destroyed window: one line on stderr" test "$(wc -l <"$err")" = 1
grep -q 'is gone' "$err" || { echo "stderr:"; cat "$err"; }

# A window of depth 32 (alpha bits) is drawn in directly too, opaque.
echo "create32 50 50 320 240" >&"${PROBE[1]}"
read -r -t 10 win32 <&"${PROBE[0]}"
"$zorvane" --window-id "$win32" "${opts[@]}" &
pid=$!
"$render" "${opts[@]}" --width 320 --height 240 --frames 1 --out "$tmp/ref320.png"
same_as_ref320() { shot "$tmp/win3.png" "$win32" && [ "$(differ "$tmp/win3.png" "$tmp/ref320.png")" = 0 ]; }
check "depth 32: the frame is zorvane-render's" wait_for 5 same_as_ref320
echo "transparent" >&"${PROBE[1]}"
read -r -t 10 transparent <&"${PROBE[0]}"
check "depth 32: every pixel opaque ($transparent are not)" test "$transparent" = 0
kill "$pid"
reap "$pid"

# A window larger than the screen: no more than the screen is drawn, so
# its shared segment holds at most the screen's pixels.
echo "create 0 0 32767 32767" >&"${PROBE[1]}"
read -r -t 10 huge <&"${PROBE[0]}"
"$zorvane" --window-id "$huge" "${opts[@]}" 2>"$err" &
pid=$!
check "32767 x 32767 window: drawn" wait_for 5 drawn "$tmp/huge.png"
bytes=$(awk -v p="$pid" '$5 == p { print $4 }' /proc/sysvipc/shm)
echo "32767 x 32767 window on a 640 x 480 screen: shared segment of ${bytes:-no} bytes"
check "32767 x 32767 window: a segment of at most the screen's size" test "${bytes:-0}" -gt 0 -a "${bytes:-0}" -le $((640 * 480 * 4))
kill "$pid"
reap "$pid"
check "32767 x 32767 window: nothing on stderr" test ! -s "$err"
exec {PROBE[1]}>&-

# A visual it cannot draw directly: one line and status 1.
start_xvfb 320x240x16
"$zorvane" --root >/dev/null 2>"$err"
status=$?
check "depth 16: exit 1 (got $status)" test "$status" = 1
check "depth 16: one line naming the visual" grep -q "visual.*depth 16" "$err"

# Depth 30: 10 bits a channel, each the 8-bit one widened. The screenshot
# reads them back truncated to 8 bits, so one level of difference is allowed.
start_xvfb 320x240x30
opts=(--seed 31 --frame-ms 3000 --clear-ms 60000)
"$zorvane" --root "${opts[@]}" 2>"$err" &
pid=$!
check "depth 30: drawn" wait_for 5 drawn "$tmp/deep.png"
kill "$pid"
reap "$pid"
"$render" "${opts[@]}" --width 320 --height 240 --frames 1 --out "$tmp/ref.png"
check "depth 30: zorvane-render's frame, within a level" test "$(compare -metric AE -fuzz 0.5% "$tmp/deep.png" "$tmp/ref.png" null: 2>&1)" = 0
check "depth 30: nothing on stderr" test ! -s "$err"
start_xvfb 640x480

fullscreen() {  # fullscreen: starts it with the pointer at (300, 200) and waits for a frame
    xdotool mousemove 300 200
    "$zorvane" --fullscreen 2>"$err" &
    pid=$!
    wait_for 5 drawn "$tmp/full.png"
}
changed_from() { shot "$tmp/now.png" && [ "$(differ "$tmp/now.png" "$1")" != 0 ]; }
two_new_frames() {  # two frames presented after now: earlier input has been handled
    shot "$tmp/f1.png"; wait_for 5 changed_from "$tmp/f1.png" && cp "$tmp/now.png" "$tmp/f2.png" &&
        wait_for 5 changed_from "$tmp/f2.png"
}
ended_with() {  # ended_with STATUS
    wait_for 5 gone "$pid" || return 1
    reap "$pid"
    [ "$status" = "$1" ]
}
# --window: its own window titled "Zorvane", closed by q, Escape or the
# window manager's close button, with status 0.
own_window() {  # own_window: starts it and waits for its first frame; sets $owned
    "$zorvane" --window 2>"$err" &
    pid=$!
    wait_for 5 drawn "$tmp/own.png" || return 1
    owned=$(xdotool search --name '^Zorvane$' 2>/dev/null | head -n 1)
    [ -n "$owned" ]
}
for how in q Escape close; do
    check "--window ($how): a window titled Zorvane shows a frame" own_window
    xdotool mousemove 10 10
    if [ "$how" = close ]; then
        coproc CLOSER { "$probe"; }
        printf "close 0x%x\n" "$owned" >&"${CLOSER[1]}"
        read -r -t 10 _ <&"${CLOSER[0]}"
        exec {CLOSER[1]}>&-
    else
        xdotool key "$how"
    fi
    check "--window: $how ends it with 0" ended_with 0
done
"$zorvane" --window 2>"$err" &
pid=$!
wait_for 5 drawn "$tmp/own.png"
xdotool key a
check "--window: still drawing after another key" two_new_frames
check "--window: another key does not end it" alive "$pid"
kill "$pid"
reap "$pid"

# Unmapped (iconified), its own window costs no CPU; mapped again, it draws.
coproc PROBE { "$probe"; }
ticks_in_a_second() { local t0=$(cpu_ticks "$1"); sleep 1; echo $(( $(cpu_ticks "$1") - t0 )); }
"$zorvane" --window --blank 1 --points 1000000 --frame-ms 10 2>"$err" &
pid=$!
check "--window (busy): a window titled Zorvane shows a frame" wait_for 5 drawn "$tmp/own.png"
owned=$(xdotool search --name '^Zorvane$' 2>/dev/null | head -n 1)
mapped=$(ticks_in_a_second "$pid")
ask unmap "$(printf 0x%x "${owned:-0}")"
# The frame being drawn when the window went (a slow one under the
# sanitizers) still ends; then the saver must fall idle.
idle() { unmapped=$(ticks_in_a_second "$pid"); [ "$unmapped" -le 3 ]; }
check "--window unmapped: falls idle" wait_for 10 idle
echo "CPU ticks a second ($(getconf CLK_TCK) a second of CPU): mapped $mapped, unmapped $unmapped"
check "--window mapped: busy drawing ($mapped ticks)" test "$mapped" -ge 10
ask map "$(printf 0x%x "${owned:-0}")"
check "--window mapped again: draws" two_new_frames
kill "$pid"
reap "$pid"

# --fullscreen closes on a key, a button, or the pointer moving more than
# 3 pixels (Manhattan) from where it was; (2, 1) and back is tolerated.
check "fullscreen: a frame appears" fullscreen
xdotool key a
check "fullscreen: a key ends it with 0" ended_with 0
check "fullscreen: a frame appears (pointer)" fullscreen
xdotool mousemove 302 201
xdotool mousemove 300 200
check "fullscreen: still drawing after (2, 1) and back" two_new_frames
check "fullscreen: (2, 1) and back does not end it" alive "$pid"
xdotool mousemove 302 202
check "fullscreen: (2, 2) ends it with 0" ended_with 0
check "fullscreen: a frame appears (button)" fullscreen
xdotool click 1
check "fullscreen: a button press ends it with 0" ended_with 0

# --fullscreen holds the keyboard and the pointer; a client message that is
# not the window manager's close request does not end it; a grab another
# client keeps is reported, and the saver runs on without it.
ask grab
check "another client can grab both with no saver running ($answer)" test "$answer" = "0 0"
ask ungrab
check "fullscreen: a frame appears (grabs)" fullscreen
check "fullscreen: nothing on stderr when the grabs succeed" test ! -s "$err"
ask grab
check "fullscreen: keyboard and pointer are both held ($answer)" test "$answer" = "1 1"
ask message "$(printf 0x%x "$(xdotool search --name '^Zorvane$' | head -n 1)")"
check "fullscreen: still drawing after a foreign client message" two_new_frames
check "fullscreen: a foreign client message does not end it" alive "$pid"
xdotool key a
check "fullscreen: a key still ends it" ended_with 0
ask grab
check "fullscreen, grabs held by another client: a frame appears" fullscreen
check "fullscreen, grabs held by another client: both reported" \
    test "$(grep -c 'could not grab the \(keyboard\|pointer\)' "$err")" = 2
kill "$pid"
reap "$pid"
ask ungrab
exec {PROBE[1]}>&-

# Start-up failures and bad input.
"$zorvane" --root --points 4294967295 >/dev/null 2>"$err"
status=$?
check "too many points: exit 1 (got $status)" test "$status" = 1
check "too many points: the box's text" grep -qx "Memory Error: Cannot allocate memory for point buffer!" "$err"
"$zorvane" --window-id 0x7fffff0 >/dev/null 2>"$err"
status=$?
check "no such window: exit 1 (got $status)" test "$status" = 1
check "no such window: one line" test "$(wc -l <"$err")" = 1
XSCREENSAVER_WINDOW=nonsense "$zorvane" --root >/dev/null 2>"$err"
status=$?
check "bad \$XSCREENSAVER_WINDOW: exit 1 (got $status)" test "$status" = 1
for bad in "--points -1" "--points 4294967296" "--points 1e3" "--points ''" "--frame-ms 0x10" "--clear-ms +5" \
           "--blank 2" "--rotate yes" "--continuous -0" "--seed 99999999999" "--window-id 0" "--window-id zz" \
           "--window-id" "--visual" "--bogus" "--zoom 17" "--zoom -1" "-points 12x" "--wallpaper" \
           "--wallpaper --root" "--idle 0" "--idle 86401" "--idle" "--autostart 0" "--autostart soon" \
           "--autostart 300 --points 5" "--idle 5 --root" "--idle 5 --wallpaper"; do
    eval "\"$zorvane\" $bad" >/dev/null 2>"$err"
    status=$?
    check "'$bad': exit 2 (got $status)" test "$status" = 2
    check "'$bad': names the option" grep -q '^zorvane: -' "$err"
done
"$zorvane" -points 5 --fps --install --visual default -blank 1 --print-settings >"$tmp/settings" 2>"$err"
check "one or two dashes; --fps, --install, --visual NAME ignored" grep -qx "points 5" "$tmp/settings"

# The config file: the settings, one a line, as "key value" or
# "key=value", with comments; the command line wins; --root runs read none;
# a file that is missing or cannot be read is none, and --print-settings
# says which file it read.
conf=$XDG_CONFIG_HOME/zorvane/config
settings() { timeout 10 "$zorvane" "$@" --print-settings >"$tmp/settings" 2>"$err"; }
setting() { awk -v n="$1" '$1 == n { sub(/^[^ ]+ /, ""); print }' "$tmp/settings"; }
check "config, no file: not an error" settings
check "config, no file: --print-settings says so" test "$(setting config)" = "none ($conf not found)"
mkdir -p "$conf"
check "config, a folder in its place: not an error" settings
check "config, a folder in its place: none read" test "$(setting config)" = "none ($conf: not a regular file)"
rmdir "$conf"
printf '# mine\npoints 100000\n\nframe-ms=50  # fast\n  zoom = 2\nseed 9\n#points 1\n' >"$conf"
settings --seed 5
check "config: 'points 100000' read" test "$(setting points)" = 100000
check "config: 'frame-ms=50  # fast' read" test "$(setting frame-ms)" = 50
check "config: '  zoom = 2' read" test "$(setting zoom)" = 2
check "config: the command line's seed wins" test "$(setting seed)" = 5
check "config: --print-settings names the file" test "$(setting config)" = "$conf"
settings --root
check "config, --root: none read" test "$(setting points) $(setting config)" = \
    "10000 none (--root and --window-id runs read none)"
mkdir -p "$tmp/home/.config/zorvane"
echo "points 3" >"$tmp/home/.config/zorvane/config"
for xdg in "" relative; do
    XDG_CONFIG_HOME=$xdg HOME=$tmp/home settings
    check "config, XDG_CONFIG_HOME '$xdg': ~/.config's file" test "$(setting points)" = 3
done
# A bad line: one message and status 2, nothing drawn (it draws, and runs
# on, with the line mended).
start_xvfb 320x240
printf 'points 1\nblank 1\npoints x\n' >"$conf"
"$zorvane" --fullscreen >/dev/null 2>"$err" &
pid=$!
check "config, bad line: ends at once" wait_for 5 gone "$pid"
reap "$pid"
check "config, bad line: exit 2 (got $status)" test "$status" = 2
check "config, bad line: the file, the line and the option" test "$(cat "$err")" = \
    "zorvane: $conf:3: --points: expected a whole number from 0 to 4294967295, got 'x'"
check "config, bad line: nothing drawn" test "$(shot "$tmp/bad.png" && colours "$tmp/bad.png")" = 1
printf 'points 1000\nblank 1\n' >"$conf"
"$zorvane" --fullscreen >/dev/null 2>"$err" &
pid=$!
check "config, mended: drawn" wait_for 5 drawn "$tmp/mended.png"
check "config, mended: runs on" alive "$pid"
kill "$pid"
reap "$pid"
for line in root "idle 300"; do
    echo "$line" >"$conf"
    settings
    check "config, '$line': exit 2, named as the command line's alone" \
        grep -q "^zorvane: $conf:1: --${line% *}: not for the config file" "$err"
done
rm "$conf"

# --autostart: the login entry, valid, running zorvane by name when the
# zorvane on PATH is this program, else by its path; written beside and
# renamed; a file it did not write neither replaced nor removed.
entry=$XDG_CONFIG_HOME/autostart/zorvane.desktop
mkdir -p "$tmp/bin" "$tmp/my \$bin"
ln -s "$zorvane" "$tmp/bin/zorvane"
PATH=$tmp/bin:$PATH zorvane --autostart 300 >"$tmp/out" 2>"$err"
check "--autostart 300: says what it wrote where" \
    test "$(cat "$tmp/out")" = "wrote $entry: at login it runs zorvane --idle 300"
check "--autostart 300: desktop-file-validate accepts it" desktop-file-validate "$entry"
check "--autostart 300: Exec=zorvane --idle 300" grep -qx "Exec=zorvane --idle 300" "$entry"
check "--autostart 300: nothing else left beside it" test "$(ls -A "${entry%/*}")" = zorvane.desktop
cp "$zorvane" "$tmp/my \$bin/zorvane"
PATH=$tmp/bin:$PATH "$tmp/my \$bin/zorvane" --autostart 60 >"$tmp/out" 2>"$err"
check "--autostart 60, a copy off PATH: desktop-file-validate accepts it" desktop-file-validate "$entry"
check "--autostart 60, a copy off PATH: Exec is its path, quoted" \
    grep -qxF "Exec=\"$tmp/my \\\\\$bin/zorvane\" --idle 60" "$entry"
"$zorvane" --autostart off >"$tmp/out" 2>"$err"
status=$?
check "--autostart off: removes ours" test "$status:$(cat "$tmp/out")" = "0:removed $entry" -a ! -e "$entry"
"$zorvane" --autostart off >"$tmp/out" 2>"$err"
status=$?
check "--autostart off again: nothing to remove" test "$status:$(cat "$tmp/out")" = \
    "0:nothing to remove: $entry does not exist"
printf '[Desktop Entry]\nType=Application\nName=Mine\nExec=true\n' | tee "$tmp/foreign" >"$entry"
for what in 300 off; do
    "$zorvane" --autostart $what >/dev/null 2>"$err"
    status=$?
    check "--autostart $what, a foreign entry: exit 1 (got $status), one line" \
        test "$status:$(cat "$err")" = "1:zorvane: $entry was not written by zorvane --autostart: left as it is"
    check "--autostart $what, a foreign entry: left as it was" cmp -s "$tmp/foreign" "$entry"
done

# --fullscreen, a picture per monitor: each monitor's region of the screen
# is zorvane-render's frame at the monitor's size, seeds 900, 901, ... in
# the server's order. Without monitors of its own the screen is one; a
# monitor within another (a region of it, a clone) gets no window.
start_xvfb 1600x600
opts=(--frame-ms 2000 --clear-ms 600000)
regions_are() {  # regions_are WxH+X+Y...: each region of the screen is $tmp/region-N.png
    shot "$tmp/monitors.png" || return 1
    local n=0 region
    for region in "$@"; do
        convert "$tmp/monitors.png" -crop "$region" +repage "$tmp/crop.png"
        [ "$(differ "$tmp/crop.png" "$tmp/region-$n.png")" = 0 ] || return 1
        n=$((n + 1))
    done
}
monitors_shown() {  # monitors_shown NAME WxH+X+Y...: --fullscreen --seed 900 shows seeds 900, 901, ... there
    local name=$1 n=0 region size
    shift
    for region in "$@"; do
        size=${region%%+*}
        "$render" "${opts[@]}" --seed $((900 + n)) --width "${size%x*}" --height "${size#*x}" --frames 1 \
            --out "$tmp/region-$n.png"
        n=$((n + 1))
    done
    "$zorvane" --fullscreen --seed 900 "${opts[@]}" 2>"$err" &
    pid=$!
    check "$name: each monitor shows its seed's frame" wait_for 10 regions_are "$@"
    xdotool key a
    check "$name: a key ends it with 0" ended_with 0
    check "$name: nothing on stderr" test ! -s "$err"
}
monitors_shown "one monitor" 1600x600+0+0
{
    xrandr --setmonitor left 1000/264x600/158+0+0 screen
    xrandr --setmonitor right 600/158x600/158+1000+0 none
    xrandr --setmonitor inner 200/53x200/53+1100+100 none
} >/dev/null
monitors_shown "two monitors and one within" 1000x600+0+0 600x600+1000+0
"$zorvane" --fullscreen --points 4294967295 >/dev/null 2>"$err"
status=$?
check "two monitors, too many points: exit 1 (got $status)" test "$status" = 1
check "two monitors, too many points: the box once" test "$(wc -l <"$err")" = 1

# The display goes away under it: status 1, one line, no crash.
start_xvfb 320x240
"$zorvane" --root 2>"$err" &
pid=$!
wait_for 5 drawn "$tmp/last.png"
stop_xvfb
check "display gone: it ends" wait_for 5 gone "$pid"
reap "$pid"
check "display gone: exit status 1 (got $status)" test "$status" = 1
check "display gone: one line on stderr" test "$(wc -l <"$err")" = 1

finish
