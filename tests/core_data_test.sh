#!/usr/bin/env bash
# core_data_test.sh - the shared core keeps no writable data: every symbol
# of the engine, settings and controller libraries that lives in a
# writable section (.data, .bss and their thread-local kin, the guard
# variables and local statics among them) is listed, and any one fails.
# Constant tables that hold addresses live in .data.rel.ro, written only
# by the loader, and pass; so does DW.ref.__gxx_personality_v0, the
# compiler's own pointer to the C++ exception routine.
#
#   core_data_test.sh LIBRARY.a...
set -u
. "$(dirname "$0")/checks.sh"

writable() {  # writable LIBRARY: "section symbol" for each writable data symbol
    nm -f sysv -C "$1" | awk -F'|' 'NF >= 7 {
        name = $1; sub(/ +$/, "", name); section = $7; gsub(/ /, "", section)
        if (section ~ /^\.(data|bss|tdata|tbss|sdata|sbss)/ && section !~ /^\.data\.rel\.ro/ && name !~ /^DW\.ref\./)
            print section " " name
    }'
}

for lib in "$@"; do
    found=$(writable "$lib")
    [ -n "$found" ] && printf '%s:\n%s\n' "$(basename "$lib")" "$found"
    check "$(basename "$lib") has symbols" test -n "$(nm "$lib" 2>/dev/null)"
    check "$(basename "$lib") keeps no writable data" test -z "$found"
done
finish
