#!/usr/bin/env bash
# checks.sh - what every shell test shares: named checks that count, a
# poll with a timeout, the closing tally, and the few looks at processes,
# screens and probes the tests take. Sourced by the tests (and the saver
# benchmark).
#
#   check "the picture appears" wait_for 5 drawn shot.png
#   finish                      # prints the tally; exits 1 if any check failed
passes=0 fails=0

check() {  # check NAME CONDITION...
    local name=$1
    shift
    if "$@"; then passes=$((passes + 1)); else echo "not ok - $name"; fails=$((fails + 1)); fi
}

wait_for() {  # wait_for SECONDS COMMAND...: polls every 0.1 s until COMMAND succeeds
    local limit=$(( $1 * 10 ))
    shift
    for _ in $(seq 1 "$limit"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

poll_for() {  # poll_for SECONDS COMMAND...: wait_for counted in wall time, for slow commands (a screenshot compared)
    local deadline=$(( $(date +%s) + $1 ))
    shift
    until "$@"; do
        [ "$(date +%s)" -ge "$deadline" ] && return 1
        sleep 0.1
    done
}

alive() { kill -0 "$1" 2>/dev/null; }    # alive PID
gone() { ! kill -0 "$1" 2>/dev/null; }   # gone PID

cpu_ticks() {  # cpu_ticks PID: utime + stime so far, in clock ticks ("-" for no such process)
    # The command name (field 2) may hold blanks; count from after its ')'.
    awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$1/stat" 2>/dev/null || echo -
}

shot() { import -window "${2:-root}" "$1" 2>/dev/null; }            # shot FILE [WINDOW]: a screenshot
colours() { convert "$1" -format '%k' info: 2>/dev/null; }          # colours FILE: how many
differ() { compare -metric AE "$1" "$2" null: 2>&1; }                # differ A B: pixels that differ
drawn() { shot "$1" "${2:-root}" && [ "$(colours "$1")" -gt 1 ]; }   # drawn FILE [WINDOW]: more than black

# ask LINE: a request to the test's probe, a coprocess named PROBE that
# answers each line with one; the answer is in $answer (ask_seconds, 10 by
# default, bounds the wait).
ask() { echo "$*" >&"${PROBE[1]}"; read -r -t "${ask_seconds:-10}" answer <&"${PROBE[0]}"; }

finish() {
    echo "$passes passed, $fails failed"
    [ "$fails" -eq 0 ]
    exit
}
