#!/usr/bin/env bash
# e2e_lib.sh - shared steps of the end-to-end tests: the saver's registry
# key, starting zorvane.scr under Wine, waiting for it, looking at the
# screen and sending real input with xdotool. Sourced by the tests, which
# are run as: TEST SCR PROBE HARNESS STATE ARTIFACTS
set -u
scr=$1 probe=$2 harness=$3 state=$4 artifacts=$5
eval "$("$harness" env "$state")" || exit 1
mkdir -p "$artifacts"
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
key='HKCU\Software\Glimra\Zorv'
saver_pid=

pe_machine() {  # pe_machine FILE: the PE header's machine field in hex (8664, 014c), or "none"
    local at
    at=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
    if [ -n "$at" ]; then od -An -tx2 -j$((at + 4)) -N2 "$1" | tr -d ' '; else echo none; fi
}
# A 32-bit saver on a kernel that runs no 32-bit code runs under user-mode
# emulation (scripts/runs-i386.sh), several times slower: a wait that
# decides that something does not happen is slow times as long.
slow=1
if [ -n "$scr" ] && [ "$(pe_machine "$scr")" = 014c ] &&
    [[ $("$(dirname "${BASH_SOURCE[0]}")/../../scripts/runs-i386.sh" --how) == emulated* ]]; then
    slow=4
fi

finish_e2e() {  # the tally, once no saver of the test is left running
    [ -n "$saver_pid" ] && kill "$saver_pid" 2>/dev/null
    finish
}

reg_clear() { wine reg delete "$key" /f >/dev/null 2>&1; }
reg_set() { wine reg add "$key" /v "$1" /t REG_DWORD /d "$2" /f >/dev/null 2>&1; }
reg_get() {  # prints the value as a decimal number, or "missing"
    local hex
    hex=$(wine reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { print $3 }')
    if [ -n "$hex" ]; then printf '%u\n' "$hex"; else echo missing; fi
}

# The full-screen saver animates on timer messages. Where this Wine never
# fires a full-screen window's timers in a program of the probe's kind
# (tests/support/fullscreen_timers.h), a test of the running saver says so
# and is skipped.
fullscreen_timers() { wine "${1:-$probe}" fullscreen-timers >/dev/null 2>&1; }
fullscreen_timers_or_skip() {
    fullscreen_timers && return 0
    echo "SKIP (a fault of $(wine --version)): a full-screen window's timers never fire in a $(pe_machine "$probe" | sed 's/^014c$/32-bit/; s/^8664$/64-bit/') program here"
    exit 77
}

start_saver() {  # start_saver ARGS...: zorvane.scr under Wine; sets saver_pid
    wine "$scr" "$@" >/dev/null 2>&1 &
    saver_pid=$!
}

exited() {  # exited SECONDS STATUS: the saver ends within SECONDS with STATUS
    local status
    if ! wait_for "$1" gone "$saver_pid"; then
        echo "still running after $1 s"
        kill "$saver_pid" 2>/dev/null
        wait "$saver_pid" 2>/dev/null
        saver_pid=
        return 1
    fi
    wait "$saver_pid"
    status=$?
    saver_pid=
    [ "$status" = "$2" ] || { echo "exit status $status, expected $2"; return 1; }
}

# The screen as raw pixels (xwd), cheap enough to poll for a change.
snap() { xwd -root -silent -out "$1" 2>/dev/null; }
changed() { snap "$2" && ! cmp -s "$1" "$2"; }  # changed FROM TO: the screen is no longer snap FROM; TO holds it

wait_for_change() { wait_for "$1" changed "$2" "$3"; }  # wait_for_change SECONDS FROM TO

# The saver is still running and still drawing: two new frames after the
# call, so that at least one of them was drawn after every input sent
# before it had been handled (input goes before timer messages).
still_drawing() {  # still_drawing SECONDS
    local a=$artifacts/frame-a.xwd b=$artifacts/frame-b.xwd
    alive "$saver_pid" && snap "$a" && wait_for_change "$1" "$a" "$b" && wait_for_change "$1" "$b" "$a" &&
        alive "$saver_pid"
}

wait_for_pixels() { wait_for "$1" drawn "$2"; }  # wait_for_pixels SECONDS FILE: until the screen shows more than black

x_window() {  # x_window NAME-PATTERN: the first visible X window whose name matches
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1
}

saver_x_window() { xdotool search --onlyvisible --class 'zorvane.scr' 2>/dev/null | head -n 1; }

send_key() {  # send_key WINDOW KEY: focus the window, then the key
    xdotool windowfocus "$1" 2>/dev/null
    xdotool key "$2" 2>/dev/null
}

found_x_window() { found=$(x_window "$1") && [ -n "$found" ]; }
wait_x_window() {  # wait_x_window SECONDS NAME-PATTERN: prints the window id
    wait_for "$1" found_x_window "$2" && echo "$found"
}
