#!/usr/bin/env bash
# hacks/zorvane.xml, XScreenSaver's settings file for the hack: it parses,
# every argument it can produce is accepted by the program and sets what it
# says, and its defaults are the program's (the menus' argument-free entry
# among them).
# Usage: hack_xml_test.sh ZORVANE XML
set -u
zorvane=$1 xml=$2
source "$(dirname "$0")/../checks.sh"
x() { xmllint --xpath "$1" "$xml" 2>/dev/null; }

check "the XML is well formed" xmllint --noout "$xml"
check "screensaver name and label" test "$(x 'string(/screensaver/@name)')/$(x 'string(/screensaver/@_label)')" = zorvane/Zorvane
check "command --root" test "$(x 'string(/screensaver/command/@arg)')" = --root
check "a description" test -n "$(x 'normalize-space(/screensaver/_description)')"

# As XScreenSaver runs it, with --root, which reads no config file: the
# defaults are the program's own, whatever the user's file holds.
defaults=$("$zorvane" --root --print-settings)
setting() {  # setting NAME [ARGS...]: the value zorvane prints for NAME with ARGS
    local name=$1
    shift
    "$zorvane" --root "$@" --print-settings | awk -v n="$name" '$1 == n { print $2 }'
}
default_of() { awk -v n="$1" '$1 == n { print $2 }' <<<"$defaults"; }

numbers=$(x 'count(//number)')
check "a control for each number setting" test "$numbers" -ge 3
for i in $(seq 1 "$numbers"); do
    arg=$(x "string(//number[$i]/@arg)")
    name=${arg%% *}
    name=${name#--}
    for which in low high default; do
        value=$(x "string(//number[$i]/@$which)")
        # shellcheck disable=SC2086
        check "$arg with $which $value: accepted and set" test "$(setting "$name" ${arg//%/$value})" = "$value"
    done
    check "$arg: the default is the program's" test "$(x "string(//number[$i]/@default)")" = "$(default_of "$name")"
done

booleans=$(x 'count(//boolean)')
# The arguments an entry sets ("--rotate 0") are accepted, set that value
# and differ from the program's default.
check_arg() {  # check_arg ARGS
    [ -n "$1" ] || return 0
    local name=${1%% *}
    name=${name#--}
    # shellcheck disable=SC2086
    set -- $1
    check "$*: accepted and set" test "$(setting "$name" "$@")" = "${2:-}"
    check "$*: changes the program's default" test "${2:-}" != "$(default_of "$name")"
}

check "a check box for each flag" test "$booleans" -ge 3
for i in $(seq 1 "$booleans"); do
    for attr in arg-set arg-unset; do
        check_arg "$(x "string(//boolean[$i]/@$attr)")"
    done
done

selects=$(x 'count(//select)')
check "a menu for the zoom" test "$selects" -ge 1
for i in $(seq 1 "$selects"); do
    options=$(x "count(//select[$i]/option)")
    check "menu $i: one entry without arguments, the default" \
        test "$(x "count(//select[$i]/option[not(@arg-set)])")" = 1
    for k in $(seq 1 "$options"); do
        check_arg "$(x "string(//select[$i]/option[$k]/@arg-set)")"
    done
done
check "the zoom's default is automatic (0)" test "$(default_of zoom)" = 0

finish
