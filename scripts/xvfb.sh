#!/usr/bin/env bash
# xvfb.sh - a private virtual display, for the Wine harness and the X11
# tests alike. Sourced:
#
#   source scripts/xvfb.sh
#   xvfb_start FOLDER 1024x768x24 || exit 1   # sets DISPLAY and xvfb_pid
#
# Xvfb picks a free display and writes its number to fd 3 (FOLDER/display);
# its output goes to FOLDER/xvfb.log. -br: a black root window, like an
# empty screen. -noreset: it must not reset when its last client leaves,
# which would undo where a test put the pointer. It runs in a session of its
# own, so it holds none of the caller's output open.

xvfb_start() {  # xvfb_start FOLDER SCREEN
    local folder=$1 screen=$2
    : >"$folder/display"
    setsid Xvfb -displayfd 3 -screen 0 "$screen" -br -noreset -nolisten tcp \
        3>"$folder/display" </dev/null >"$folder/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
        grep -q '^[0-9]' "$folder/display" 2>/dev/null && break
        sleep 0.1
    done
    if ! grep -q '^[0-9]' "$folder/display"; then
        echo "Xvfb did not start" >&2
        cat "$folder/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":$(head -n 1 "$folder/display")"
}
