#!/usr/bin/env bash
# bench-saver.sh - how much CPU the real saver takes while it runs: each case
# runs the saver full-screen on a private 1024x768 display (a virtual X
# display, or a headless sway's one output) for SECONDS (default 15) and
# reads the process's CPU time (utime + stime) from /proc before and after.
# Prints one table row per saver and case, in % of one core; the display
# server's (Xvfb, or sway) and (under Wine) the wineserver's share are shown
# beside it, since drawing and timers cost there too.
#
#   scripts/bench-saver.sh            every case, 15 s each
#   ZORVANE_BENCH_SECONDS=5 scripts/bench-saver.sh
#
# A timed tool, not a test: nothing is asserted. It builds the savers (the
# 32-bit Windows one, where this machine runs 32-bit programs, and zorvane)
# first; run it on an otherwise quiet machine (not while compiling).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${ZORVANE_BENCH_SECONDS:-15}
ticks=$(getconf CLK_TCK)
source tests/checks.sh  # polls, and the processes' CPU time

# The cases: points, blank screen (with rotation and continuous walks on) and
# frame period in ms; the rest stays at the defaults.
cases=(
    "0 0 200"
    "10000 0 200"
    "1000000 1 200"
)

percent() {  # percent TICKS SECONDS_NS: % of one core
    awk -v t="$1" -v ns="$2" -v hz="$ticks" 'BEGIN { printf "%.2f", 100 * t / hz / (ns / 1e9) }'
}

# measure_pids SECONDS PID...: sleeps SECONDS and prints each PID's CPU use
# over that time, in the order given ("-" for a PID that is not there).
measure_pids() {
    local span=$1
    shift
    local before=() after=() t0 t1 i
    for pid in "$@"; do before+=("$(cpu_ticks "$pid")"); done
    t0=$(date +%s%N)
    sleep "$span"
    t1=$(date +%s%N)
    for pid in "$@"; do after+=("$(cpu_ticks "$pid")"); done
    for i in "${!before[@]}"; do
        if [ "${before[i]}" = - ] || [ "${after[i]}" = - ]; then
            printf -- '- '
        else
            printf '%s ' "$(percent $(( after[i] - before[i] )) $(( t1 - t0 )))"
        fi
    done
    echo
}

# --- The Windows saver under Wine -------------------------------------------
state=build/bench-saver/wine
harness=scripts/wine-harness.sh
scr=build/win32/zorvane.scr

setup_wine() {
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 --target zorvane_saver >/dev/null
    "$harness" start "$state" >/dev/null
    eval "$("$harness" env "$state")"
    xvfb_pid=$(cat "$state/xvfb.pid")
    # The wineserver of this prefix (others may run for other prefixes).
    wineserver_pid=
    for pid in $(pgrep -x 'wineserver(64)?' || true); do
        if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            wineserver_pid=$pid
        fi
    done
}

teardown_wine() { "$harness" stop "$state" >/dev/null; }

saver_window() { xdotool search --onlyvisible --class 'zorvane.scr' 2>/dev/null | head -n 1; }
saver_shown() { [ -n "$(saver_window)" ]; }

key='HKCU\Software\Glimra\Zorv'
reg_dword() { wine reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1; }

# measure_wine POINTS BLANK FRAME_MS: one row for zorvane.scr
measure_wine() {
    wine reg delete "$key" /f >/dev/null 2>&1 || true
    reg_dword NumberPoints "$1"
    reg_dword BlankScreen "$2"
    reg_dword AnimationTimer "$3"
    wine "$scr" /s >/dev/null 2>&1 &
    local pid=$!
    wait_for 20 saver_shown || { echo "zorvane.scr did not start" >&2; kill "$pid"; return 1; }
    sleep 1  # past the start-up and the first frames
    local row
    row=$(measure_pids "$seconds" "$pid" "$xvfb_pid" "${wineserver_pid:-0}")
    local w
    w=$(saver_window)
    xdotool windowfocus "$w" key Escape 2>/dev/null || true
    wait_for 10 gone "$pid" || kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    local own xserver server
    read -r own xserver server <<<"$row"
    print_row "zorvane.scr (Wine, 32-bit)" "$1" "$2" "$3" "$own" "$xserver" "$server"
}

# --- The native X11 saver ---------------------------------------------------
zorvane=build/native/zorvane

setup_native() {
    cmake --preset native >/dev/null
    cmake --build --preset native --target zorvane >/dev/null
}

# measure_native POINTS BLANK FRAME_MS: one row for zorvane --root, on the
# same virtual display
measure_native() {
    "$zorvane" --root --points "$1" --blank "$2" --frame-ms "$3" &
    local pid=$!
    sleep 1  # past the start-up and the first frames
    gone "$pid" && { echo "zorvane did not start" >&2; return 1; }
    local row own xserver
    row=$(measure_pids "$seconds" "$pid" "$xvfb_pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    read -r own xserver <<<"$row"
    print_row "zorvane (X11)" "$1" "$2" "$3" "$own" "$xserver" "-"
}
# --- The native Wayland saver -----------------------------------------------
# On a headless sway of its own, run as wayland_lib.sh runs it for the tests.

setup_wayland() {
    source tests/wayland/wayland_lib.sh
    provide "$zorvane"
    outputs=1 start_sway 'output HEADLESS-1 resolution 1024x768'
}

# measure_wayland POINTS BLANK FRAME_MS: one row for zorvane on sway's output
measure_wayland() {
    launch /dev/null "$bin/zorvane" --points "$1" --blank "$2" --frame-ms "$3"
    sleep 1  # past the start-up and the first frames
    gone "$pid" && { echo "zorvane (Wayland) did not start" >&2; return 1; }
    local row own compositor
    row=$(measure_pids "$seconds" "$pid" "$compositor_pid")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    read -r own compositor <<<"$row"
    print_row "zorvane (Wayland)" "$1" "$2" "$3" "$own" "$compositor" "-"
}
# ------------------------------------------------------------------------------

savers=(wine native wayland)
# Under emulation the 32-bit saver's CPU figures would be the emulator's.
i386=$(scripts/runs-i386.sh --how)
[ "$i386" = native ] || { savers=(native wayland); echo "(32-bit programs here: $i386; zorvane.scr left out)"; }
setup_native

print_row() {  # print_row SAVER POINTS BLANK FRAME_MS SAVER% X% WINESERVER%
    printf '| %-28s | %9s | %5s | %8s | %12s | %10s | %12s |\n' "$@"
}

setup_wayland  # sets its own exit trap: the compositor and its folder
if [ "${savers[0]}" = wine ]; then
    setup_wine  # its virtual display serves the X11 saver too
    trap 'teardown_wine; stop_compositor; cleanup' EXIT
else
    start_xvfb 1024x768
fi
echo "CPU use over $seconds s per case, % of one core, on a 1024x768 display"
print_row "saver" "points" "blank" "frame ms" "saver %" "display server %" "wineserver %"
print_row "---" "---:" "---:" "---:" "---:" "---:" "---:"
for saver in "${savers[@]}"; do
    for c in "${cases[@]}"; do
        # shellcheck disable=SC2086
        "measure_$saver" $c
    done
done
