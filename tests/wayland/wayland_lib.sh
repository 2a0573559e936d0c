#!/usr/bin/env bash
# wayland_lib.sh - shared steps of the Wayland client's tests: a headless
# compositor of their own (sway, or weston), never the caller's session.
# Compositors refuse to run as root, so as root everything in the session
# runs as the user nobody, with its own runtime folder (mode 0700) and
# home; the programs under test are copied where that user can run them.
# Sourced by the tests, after which:
#
#   start_sway 'output HEADLESS-2 resolution 1600x1200 scale 2'  # 2 outputs
#   launch "$tmp/out" "$bin/program" # in the session (WAYLAND_DISPLAY set); sets pid
#   grab HEADLESS-2 "$tmp/shot.png" # one output at device pixels (sway)
#   sway_do create_output           # a swaymsg command
#
# x11_lib.sh brings checks.sh (check, wait_for, finish), the temporary
# folder $tmp, reap, alive, gone, differ and colours.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../x11/x11_lib.sh"
chmod 755 "$tmp"
bin=$tmp/bin
mkdir -p "$bin"
compositor_pid=
session=()

stop_compositor() {
    [ -n "$compositor_pid" ] && kill "$compositor_pid" 2>/dev/null && wait "$compositor_pid" 2>/dev/null
    compositor_pid=
}
trap 'stop_compositor; cleanup' EXIT

provide() {  # provide FILE...: copies programs into $bin, where the session's user can run them
    install -m 755 "$@" "$bin/"
}

# The caller's PATH (the tests' tool-path), one the session's user can follow.
session_path=$PATH
[ "$(id -u)" -ne 0 ] || session_path=$(reachable_path "$PATH")

# A fresh runtime folder and home, and the command prefix that runs a
# program there as the session's user, with nothing of the caller's
# environment but its PATH. Sets run, as_user.
new_session() {
    run=$tmp/run.$RANDOM
    local home=$tmp/home
    mkdir -p "$run" "$home"
    chmod 700 "$run"
    as_user=(env -i PATH="$session_path" HOME="$home" XDG_RUNTIME_DIR="$run")
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody:nogroup "$run" "$home"
        as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${as_user[@]}")
    fi
}

socket_in() {  # socket_in PATTERN: the one file in $run that matches, if it is a socket
    local f
    for f in "$run"/$1; do
        [ -S "$f" ] && { basename "$f"; return 0; }
    done
    return 1
}

in_session() { "${session[@]}" "$@"; }  # runs a command as the session's user, in the session

launch() {  # launch OUT COMMAND...: in the session, in the background, output to OUT; sets pid (the command's own)
    local out=$1
    shift
    "${session[@]}" "$@" </dev/null >"$out" 2>&1 &
    pid=$!
}

# start_sway [CONFIG-LINE...]: sway on $outputs headless outputs (default
# 2), pixman rendering and no input devices; waits for its sockets. Sets
# compositor_pid, session. Before 1.9 sway draws a headless output only
# where it is damaged, so grim reads stale pixels unless every frame is
# drawn whole (-D damage=rerender); 1.9's scene renderer does without, and
# no longer knows the flag.
start_sway() {
    stop_compositor
    new_session
    printf '%s\n' 'xwayland disable' "$@" >"$tmp/sway.conf"
    chmod 644 "$tmp/sway.conf"
    local flags=()
    [[ $("${as_user[@]}" sway --version) =~ version\ 1\.[78]([^0-9]|$) ]] && flags=(-D damage=rerender)
    "${as_user[@]}" WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        WLR_HEADLESS_OUTPUTS="${outputs:-2}" sway "${flags[@]}" -c "$tmp/sway.conf" </dev/null >"$tmp/sway.log" 2>&1 &
    compositor_pid=$!
    if ! wait_for 20 socket_in 'sway-ipc.*.sock' >/dev/null || ! wait_for 5 socket_in 'wayland-[0-9]' >/dev/null; then
        echo "sway did not start" >&2
        cat "$tmp/sway.log" >&2
        exit 1
    fi
    wayland_display=$(socket_in 'wayland-[0-9]')
    session=("${as_user[@]}" WAYLAND_DISPLAY="$wayland_display" SWAYSOCK="$run/$(socket_in 'sway-ipc.*.sock')")
}

# nest_sway: a second sway inside the one start_sway started, on its
# Wayland backend, with two outputs WL-1 and WL-2 that are floating windows
# of the outer one (sway 1.7 cannot take a headless output away, but an
# output of the inner one goes away when its window is killed). The windows
# (and WL-3's, when one is created) lie side by side: sway 1.10 sends no
# frame callbacks to a covered window, and the inner output behind it would
# draw nothing, not even for grim. Sets outer (the outer session's command
# prefix) and session (the inner one's).
nest_sway() {
    outer=("${session[@]}")
    sway_do 'output * resolution 2560x1440'
    sway_do 'for_window [app_id="wlroots"] floating enable, border none'
    sway_do 'for_window [title="wlroots - WL-1"] move absolute position 0 0'
    sway_do 'for_window [title="wlroots - WL-2"] move absolute position 1280 0'
    sway_do 'for_window [title="wlroots - WL-3"] move absolute position 0 720'
    printf '%s\n' 'xwayland disable' >"$tmp/inner.conf"
    chmod 644 "$tmp/inner.conf"
    "${outer[@]}" WLR_BACKENDS=wayland WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WLR_WL_OUTPUTS=2 \
        sway -c "$tmp/inner.conf" </dev/null >"$tmp/inner.log" 2>&1 &
    local inner=$! socket=
    if wait_for 20 socket_in "sway-ipc.*.$inner.sock" >/dev/null; then
        for socket in "$run"/wayland-[0-9]*; do
            [ -S "$socket" ] && [ "${socket##*/}" != "$wayland_display" ] && break
        done
    fi
    if [ ! -S "$socket" ] || [ "${socket##*/}" = "$wayland_display" ]; then
        echo "the nested sway did not start" >&2
        cat "$tmp/inner.log" >&2
        exit 1
    fi
    session=("${as_user[@]}" WAYLAND_DISPLAY="${socket##*/}" SWAYSOCK="$run/$(socket_in "sway-ipc.*.$inner.sock")")
}

# start_weston WIDTH HEIGHT [SCALE]: weston's headless backend, pixman
# rendering, one output; waits for its socket. Sets compositor_pid, session.
# Its desktop shell has no panel: weston 14 keeps the panel above a
# full-screen window that has no keyboard focus, and the headless backend
# has no keyboard. --renderer=pixman where weston knows it (12 and later;
# --use-pixman is its deprecated alias there, and all 10 has).
start_weston() {
    stop_compositor
    new_session
    printf '[shell]\npanel-position=none\n' >"$tmp/weston.ini"
    chmod 644 "$tmp/weston.ini"
    local pixman=--use-pixman
    "${as_user[@]}" weston --help 2>&1 | grep -q -- '--renderer=' && pixman=--renderer=pixman
    "${as_user[@]}" weston --backend=headless-backend.so "$pixman" --config="$tmp/weston.ini" \
        --socket=wayland-zorvane --width="$1" --height="$2" --scale="${3:-1}" --idle-time=0 --debug \
        </dev/null >"$tmp/weston.log" 2>&1 &
    compositor_pid=$!
    if ! wait_for 20 socket_in wayland-zorvane >/dev/null; then
        echo "weston did not start" >&2
        cat "$tmp/weston.log" >&2
        exit 1
    fi
    session=("${as_user[@]}" WAYLAND_DISPLAY=wayland-zorvane)
}

sway_do() { in_session swaymsg "$@" >/dev/null; }               # sway_do COMMAND...
grab() { in_session timeout 10 grim -o "$1" - >"$2" 2>/dev/null; }   # grab OUTPUT FILE: PNG at device pixels
size_of() { identify -format '%wx%h' "$1" 2>/dev/null; }         # size_of IMAGE: WIDTHxHEIGHT

# start_pointer: the virtual pointer helper ($bin/virtual_pointer), held
# until the test ends, so that sway's cursor commands reach the clients.
start_pointer() {
    local pid
    launch "$tmp/pointer.out" "$bin/virtual_pointer"
    wait_for 10 grep -q ready "$tmp/pointer.out" || { cat "$tmp/pointer.out" >&2; exit 1; }
}
