#!/usr/bin/env bash
# checks.sh - what every shell test shares: named checks that count, a
# poll with a timeout, and the closing tally. Sourced by the tests.
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

finish() {
    echo "$passes passed, $fails failed"
    [ "$fails" -eq 0 ]
    exit
}
