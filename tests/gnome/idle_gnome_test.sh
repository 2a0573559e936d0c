#!/usr/bin/env bash
# GNOME's idle monitor as zorvane's idle source, on a headless GNOME Shell
# of the test's own with two monitors: idle after the seconds asked
# without input, active at a key, idle again; an idle inhibitor of the
# session manager (a stand-in here: GNOME's session manager does not run
# without a login session) keeps it from going idle, whether the
# compositor follows the inhibitor or only the source's own question
# sees it; the shell gone is the end. And zorvane --idle on both monitors.
# Usage: idle_gnome_test.sh ZORVANE ZORVANE-RENDER IDLE-PROBE SESSION-MANAGER-DOUBLE
source "$(dirname "$0")/gnome_lib.sh"
gnome_usable || skip "GNOME Shell or dbus-daemon is not installed (Debian: gnome-shell, dbus-daemon)"
provide "$1" "$3" "$4"
render=$2
zorvane=$bin/zorvane
probe=$tmp/probe.out
still=(--frame-ms 1000 --clear-ms 600000)   # a new attractor over the last every second, no clear

start_gnome 900x700 720x540
echo "$(in_session gnome-shell --version): started in $shell_seconds s"

lines() { local all; all=$(<"$probe"); echo "${all//$'\n'/ }"; }  # the probe's lines so far, on one
said() { [ "$(lines)" = "$*" ]; }                    # said LINE...: exactly those
since() { echo $(( ($(date +%s%N) - $1) / 1000000 )); }  # since T0-NS: ms
quiet_for() { [ "$(idletime)" -ge "$1" ]; }          # quiet_for MS: no input for MS

# Idle 2 s after the last key, not before; active at the next; idle again.
gnome_key 30
t0=$(date +%s%N)
launch "$probe" "$bin/idle_probe" 2
watcher=$pid
check "opened on the idle monitor" wait_for 10 grep -qx 'opened org.gnome.Mutter.IdleMonitor' "$probe"
check "idle after 2 s without input" wait_for 10 said opened org.gnome.Mutter.IdleMonitor idle
ms=$(since "$t0")
echo "idle $ms ms after the key"
check "idle not before 2 s ($ms ms)" test "$ms" -ge 1900
gnome_key 30
check "active at a key" wait_for 5 said opened org.gnome.Mutter.IdleMonitor idle active
check "idle again after 2 s more" wait_for 10 said opened org.gnome.Mutter.IdleMonitor idle active idle
gnome_key 30
check "active again" wait_for 5 said opened org.gnome.Mutter.IdleMonitor idle active idle active

# An idle inhibitor held: the session stays quiet for twice the time and
# nothing comes; let go, idle follows. First a session manager whose
# InhibitedActions the compositor follows (its watches wait), then one
# without (the watch fires, and only IsInhibited holds the source back).
inhibited() {  # inhibited NAME [--no-property]
    local sm
    launch "$tmp/sm.out" "$bin/session_manager_double" ${2:-}
    sm=$pid
    wait_for 10 grep -qx ready "$tmp/sm.out" || { cat "$tmp/sm.out" >&2; exit 1; }
    kill -USR1 "$sm"
    wait_for 5 grep -qx held "$tmp/sm.out"
    gnome_key 30
    local before
    before=$(lines)
    check "$1: the session quiet for 4 s" wait_for 10 quiet_for 4000
    check "$1: an inhibitor held, no idle" test "$(lines)" = "$before"
    kill -USR2 "$sm"
    t0=$(date +%s%N)
    check "$1: the inhibitor gone, idle" wait_for 10 said "$before" idle
    echo "$1: idle $(since "$t0") ms after the inhibitor went"
    gnome_key 30
    check "$1: active at a key" wait_for 5 said "$before" idle active
    kill "$sm"
    reap "$sm"
}
inhibited "InhibitedActions followed"
inhibited "IsInhibited alone" --no-property

# zorvane --idle 2: after 2 s without input each monitor shows
# zorvane-render's frames for its seed (900, 901 in the order the outputs
# are announced); a key ends the pictures and the watcher stays; 2 s later
# they are back; not while an inhibitor is held; SIGTERM ends it with 0.
source "$(dirname "$0")/../wayland/frames_lib.sh"
both_show() {  # both_show FIRST SECOND: the left monitor one of FIRST's frames, the right one of SECOND's
    gnome_shot "$tmp/shot.png" && is_frame "$tmp/shot.png" "$1" 900x700+0+0 &&
        is_frame "$tmp/shot.png" "$2" 720x540+900+0
}
windows() { shell_says 'global.get_window_actors().length' "$1"; }  # windows N: the shell shows N windows
out=$tmp/zorvane.out
reference_frames=30
for seed in 900 901; do  # made first: either monitor may be announced first
    reference "l$seed" "$seed" 900x700
    reference "r$seed" "$seed" 720x540
done
gnome_key 30
t0=$(date +%s%N)
launch "$out" env WAYLAND_DEBUG=1 "$zorvane" --idle 2 --seed 900 "${still[@]}"
idler=$pid
check "--idle: waits on the idle monitor" \
    wait_for 10 grep -q 'waiting for 2 s of idle time, as org.gnome.Mutter.IdleMonitor reports it' "$out"
check "--idle: no picture before the quiet spell" windows 0
check "--idle: the pictures after 2 s" wait_for 20 windows 2
echo "--idle: pictures $(since "$t0") ms after the key"
first=$(awk '/wl_output[@#][0-9]+\.geometry\(/ { sub(/.*geometry\(/, ""); split($0, a, ", ")
    print (a[1] == 0 ? "left" : "right"); exit }' "$out")
if [ "$first" = left ]; then left=900 right=901; else left=901 right=900; fi
check "--idle: the monitors show seeds $left (900x700) and $right (720x540)" poll_for 30 both_show "l$left" "r$right"
gnome_key 30
check "--idle: a key ends the pictures" wait_for 10 windows 0
check "--idle: the watcher stays" alive "$idler"
alive "$idler" || grep -v '^\[' "$out" | tail -5  # its own words
t0=$(date +%s%N)
check "--idle: the pictures again after 2 s more" wait_for 20 windows 2
echo "--idle: pictures again $(since "$t0") ms after the key"
check "--idle: again seeds $left and $right" poll_for 30 both_show "l$left" "r$right"
launch "$tmp/sm.out" "$bin/session_manager_double"
sm=$pid
wait_for 10 grep -qx ready "$tmp/sm.out" || { cat "$tmp/sm.out" >&2; exit 1; }
kill -USR1 "$sm"
wait_for 5 grep -qx held "$tmp/sm.out"
gnome_key 30
check "--idle, an inhibitor held: the pictures end at a key" wait_for 10 windows 0
check "--idle, an inhibitor held: quiet for 4 s" wait_for 10 quiet_for 4000
check "--idle, an inhibitor held: no pictures" windows 0
kill -USR2 "$sm"
check "--idle, the inhibitor gone: the pictures" wait_for 20 windows 2
kill "$sm"
reap "$sm"
kill "$idler"
reap "$idler"
check "--idle: SIGTERM ends it with 0 (got $status)" test "$status" = 0

# The shell gone: the source says so and ends; opened without it, or
# without a bus, it says why.
kill "$compositor_pid"
check "the shell gone: lost" wait_for 20 eval 'grep -qx lost "$probe"'
check "the shell gone: the probe ends" wait_for 5 gone "$watcher"
check "the shell ends" wait_for 20 gone "$compositor_pid"
in_session timeout 10 "$bin/idle_probe" 2 >"$probe" 2>&1
check "no shell: not on the session bus" \
    grep -qx "not opened: org.gnome.Mutter.IdleMonitor: not on the session bus" "$probe"
"${as_user[@]}" XDG_RUNTIME_DIR="$tmp/none" timeout 10 "$bin/idle_probe" 2 >"$probe" 2>&1
check "no session bus: says so ($(cat "$probe"))" grep -q "no session bus" "$probe"
finish
