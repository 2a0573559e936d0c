#!/usr/bin/env bash
# Bad input, end to end: every registry value stored with other types and
# sizes, an empty key, a value where the key should be, command lines far
# longer than the saver keeps, switch words with bytes above 0x7E. Each case
# starts the real zorvane.scr once (through saver_launcher, as the system
# would: CreateProcess with the exact bytes) and must end in the outcome the
# saver's rules give: it runs (and a key ends it with 0), it opens the
# configuration dialog (Esc ends it with 0), or it shows the start-up error
# box (Return ends it with -1); never a crash, the debugger or a hang.
# Writes the table of cases and outcomes to DOC.
# Usage: robustness_test.sh SCR PROBE HARNESS STATE ARTIFACTS LAUNCHER DOC
launcher=$6 doc=$7
source "$(dirname "$0")/e2e_lib.sh"
fullscreen_timers_or_skip

scr_win=$(winepath -w "$scr" 2>/dev/null | tr -d '\r')
out=$artifacts/robustness-case.txt
rows=()

hex() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }
repeat() { printf "%${2}s" '' | tr ' ' "$1"; }  # repeat CHAR COUNT
dword() { printf '%02x%02x%02x%02x' $(( $1 & 255 )) $(( $1 >> 8 & 255 )) $(( $1 >> 16 & 255 )) $(( $1 >> 24 & 255 )); }

saver_windows() {  # "ID NAME" for every visible window of the saver
    local w
    for w in $(xdotool search --onlyvisible --class 'zorvane.scr' 2>/dev/null); do
        echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
    done
}

launcher_done() { ! kill -0 "$launcher_pid" 2>/dev/null; }

# What the screen shows while the saver runs: "colours pile up" (a shot
# with 3 or more colours: frames painted over each other), "black and one
# colour a frame" (8 new pictures with a point on them, never more than
# two colours), or "black" (no point in 5 s, times slow, and 4 shots: a
# frame of 6513249 points takes 3.7 s to show under emulation). A shot falls at
# any moment between two clear ticks, and while only one frame lies on the
# last clear it shows two colours in the piling modes too (about a fifth of
# the time at the default periods), so one colour a frame takes 8 pictures
# to tell (0.2^8: a few in a million); how many shots fit into a second (a
# loaded machine takes one where an idle one takes five) decides only how
# long that takes, up to 120 s. Each watch's length is reported.
watch_picture() {
    local a=$artifacts/robust-a.xwd b=$artifacts/robust-b.xwd shots=0 n pictures=0 verdict=
    local start
    start=$(date +%s%N)
    local end=$(( start + 120000000000 ))
    snap "$a"
    while [ -z "$verdict" ] && [ "$(date +%s%N)" -lt "$end" ]; do
        snap "$b"
        shots=$((shots + 1))
        n=$(colours "xwd:$b")
        if [ "$n" -ge 3 ]; then
            verdict="colours pile up"
        elif ! cmp -s "$a" "$b"; then
            [ "$n" -ge 2 ] && pictures=$((pictures + 1))
            cp "$b" "$a"
        fi
        if [ "$pictures" -ge 8 ]; then
            verdict="black and one colour a frame"
        elif [ "$pictures" = 0 ] && [ "$shots" -ge 4 ] && [ "$(date +%s%N)" -ge $(( start + slow * 5000000000 )) ]; then
            verdict="black"
        fi
        sleep 0.05
    done
    # Out of time with fewer pictures than it takes to tell: said as such.
    [ -n "$verdict" ] || verdict="only $pictures pictures in $shots shots"
    echo "watched $(( ($(date +%s%N) - start) / 1000000 )) ms: $shots shots, $pictures new pictures with a point, $verdict" >&2
    echo "$verdict"
}

# run_case NAME EXPECTED TAIL STEPS...: one start of the saver.
run_case() {
    local name=$1 expected=$2 tail=$3
    shift 3
    # The launcher calls a run that has not ended after 180 s a hang: the
    # watch alone may take two minutes.
    wine "$launcher" "$@" dump run "$scr_win" "$(hex "$tail")" 180000 dump >"$out" 2>"$out.err" &
    launcher_pid=$!
    local seen= w= title= observed=
    # What the saver shows first, if anything, before the launcher ends.
    shown() {
        while read -r w title; do
            case "$title" in
            "") seen=saver ;;
            "Configure Screen Saver") seen=dialog ;;
            *) seen=box ;;
            esac
            break
        done < <(saver_windows | sort -k2 -r)
        [ -n "$seen" ] || launcher_done
    }
    wait_for 15 shown
    case "$seen" in
    saver)
        observed="runs: $(watch_picture)"
        send_key "$w" a
        ;;
    dialog)
        observed="dialog"
        send_key "$w" Escape
        ;;
    box)
        observed="error box"
        # Only once the launcher has read the box's text.
        wait_for 5 grep -q '^box=' "$out"
        send_key "$w" Return
        ;;
    *) observed="no window" ;;
    esac
    wait_for 30 launcher_done
    launcher_done || { kill "$launcher_pid" 2>/dev/null; observed="$observed; the launcher hung"; }
    wait "$launcher_pid" 2>/dev/null
    # Nothing at all from the launcher, not even the registry it dumps
    # first: Wine did not run it (seen once in many runs), and the saver was
    # never started. That is said, and the case run once more.
    if [ ! -s "$out" ] && [ -z "$seen" ] && [ -z "${again:-}" ]; then
        echo "$name: Wine ran no launcher ($(head -c 300 "$out.err" | tr '\n' ' ')); once more"
        again=1 run_case "$name" "$expected" "$tail" "$@"
        return
    fi
    tr -d '\r' <"$out" >"$out.unix"
    local box exit crash
    box=$(sed -n 's/^box=//p' "$out.unix" | head -n 1)
    exit=$(sed -n 's/^exit=//p' "$out.unix")
    crash=$(grep -E '^(crash=|hang$)' "$out.unix" | tr '\n' ' ')
    [ -n "$box" ] && observed="$observed \"${box%%|*}: ${box#*|}\""
    observed="$observed; exit ${exit:-none}${crash:+; $crash}"
    # The registry after the run against before it: the launcher dumps it
    # before and after.
    local before after
    before=$(awk '/^glimra-value=/ { exit } { print }' "$out.unix")
    after=$(awk 'found && !/^glimra-value=/ { print } /^exit=/ { found = 1 }' "$out.unix")
    if [ "$before" != "$after" ]; then
        observed="$observed; stored: $(printf '%s\n' "$after" | sed -n 's/^value \([A-Za-z]*\) [0-9]* \(.*\)/\1=\2/p' | sort | tr '\n' ' ' | sed 's/ $//')"
    fi
    if [ "$(grep '^glimra-value=' "$out.unix" | tail -n 1)" = glimra-value=present ]; then
        observed="$observed; the value Zorv stays"
    fi
    check "$name: $observed (expected: $expected)" test "$observed" = "$expected"
    rows+=("| $name | $expected | $([ "$observed" = "$expected" ] && echo as expected || echo "**$observed**") |")
}

# --- Expected outcomes, from the saver's rules ------------------------------
# A value is loaded only when it is exactly 4 bytes long, whatever its type;
# anything else leaves the default. Loading writes nothing when the key is
# there. Periods go to the window timers unchanged (the platform holds them
# to 10 ms .. 2^31-1 ms); nothing else is range-tested.
pile="runs: colours pile up; exit 0"              # the defaults: a new attractor over the old each frame
blank="runs: black and one colour a frame; exit 0"  # each frame from black
black="runs: black; exit 0"                       # no point drawn while watched
box_points='error box "Memory Error: Cannot allocate memory for point buffer!"; exit -1'
dialog="dialog; exit 0"
sz4=$(hex 'abc')00         # "abc" and its terminator: 0x00636261 = 6513249
sz3=$(hex 'ab')00

# Per value: REG_SZ 3 and 4 bytes, REG_BINARY 2 and 8, REG_QWORD, REG_DWORD 0 and 0xFFFFFFFF.
variants=("REG_SZ \"ab\" (3 bytes)" "REG_SZ \"abc\" (4 bytes)" "REG_BINARY, 2 bytes" "REG_BINARY, 8 bytes"
          "REG_QWORD 0xFFFFFFFF" "REG_DWORD 0" "REG_DWORD 0xFFFFFFFF")
reg_steps() {  # reg_steps NAME VARIANT: launcher steps that store the value
    case $2 in
    0) echo "put $1 1 $sz3" ;;
    1) echo "put $1 1 $sz4" ;;
    2) echo "put $1 3 0102" ;;
    3) echo "put $1 3 0102030405060708" ;;
    4) echo "put $1 11 ffffffff00000000" ;;  # its low 4 bytes would read as 2^32-1
    5) echo "put $1 4 $(dword 0)" ;;
    6) echo "put $1 4 $(dword 4294967295)" ;;
    esac
}
expected() {  # expected NAME VARIANT
    case "$1:$2" in
    # 6513249 and 0xFFFFFFFF are set flags: every frame starts black.
    BlankScreen:1 | BlankScreen:6) echo "$blank" ;;
    # 0 points draw black frames; 2^32-1 points cannot be allocated (6513249
    # points can: 156 MB).
    NumberPoints:5) echo "$black" ;;
    NumberPoints:6) echo "$box_points" ;;
    # A clear tick every 10 ms (the least period) leaves one attractor a frame.
    CLSTimer:5) echo "$blank" ;;
    # A frame every 6513 s, or every 24.8 days: none while watched.
    AnimationTimer:1 | AnimationTimer:6) echo "$black" ;;
    # Ignored (not 4 bytes), or a value that changes nothing that shows:
    # flags set or clear, 6513249 points, a clear tick every 6513 s or 24.8
    # days, a frame every 10 ms.
    *) echo "$pile" ;;
    esac
}
for name in EnableRotation EnableContinuous BlankScreen NumberPoints CLSTimer AnimationTimer; do
    for v in 0 1 2 3 4 5 6; do
        # shellcheck disable=SC2046
        run_case "$name as ${variants[$v]}" "$(expected "$name" "$v")" /s clear $(reg_steps "$name" "$v")
    done
done

# The key present but empty: the defaults, and still nothing stored.
run_case "the key present but empty" "$pile" /s empty-key
# A value "Zorv" where the key should be: the first load finds no key and
# creates it beside the value, with the defaults.
defaults="stored: AnimationTimer=c8000000 BlankScreen=00000000 CLSTimer=e8030000 EnableContinuous=01000000 EnableRotation=01000000 NumberPoints=10270000"
run_case "\"Software\\Glimra\" holds a value \"Zorv\", no key" "$pile; $defaults; the value Zorv stays" /s key-as-value

# Command lines of 5000 characters: only the first 1023 count. The key
# holds the defaults, so neither mode stores anything new.
stored_defaults="clear put EnableRotation 4 01000000 put EnableContinuous 4 01000000 put BlankScreen 4 00000000
put NumberPoints 4 10270000 put CLSTimer 4 e8030000 put AnimationTimer 4 c8000000"
fill() { repeat x "$1"; }
long() { printf '%s%s' "$1" "$(fill $(( 5000 - ${#1} )))"; }
# shellcheck disable=SC2086
{
run_case "5000 characters, /s first" "$pile" "$(long "/s ")" $stored_defaults
run_case "5000 characters, /s at 1021-1022 (kept)" "$pile" "$(long "$(fill 1020) /s")" $stored_defaults
run_case "5000 characters, /s at 1022-1023 (cut after the /)" "$dialog" "$(long "$(fill 1021) /s")" $stored_defaults
run_case "5000 characters, /s at 1101 (cut off)" "$dialog" "$(long "$(fill 1100) /s")" $stored_defaults
run_case "5000 characters, /c first, /s at 1101" "$dialog" "$(long "/c $(fill 1097) /s")" $stored_defaults
}

# Bytes above 0x7E end a switch word, like blanks; outside one they are
# skipped. The launcher first checks that the bytes arrive as they are.
high_case() {  # high_case NAME EXPECTED TAIL
    wine "$launcher" check-tail "$(hex "$3")" 2>/dev/null | tr -d '\r' >"$out"
    check "$1: the bytes reach the saver as given" grep -qx 'tail=same' "$out"
    # shellcheck disable=SC2086
    run_case "$1" "$2" "$3" $stored_defaults
}
high_case "/<E9>s" "$dialog" $'/\xe9s'
high_case "/s<E9>" "$pile" $'/s\xe9'
high_case "/<FF>s /s" "$pile" $'/\xffs /s'
high_case "/x<A0>s" "$dialog" $'/x\xa0s'
high_case "<E9>/s" "$pile" $'\xe9/s'

reg_clear
{
    echo "# Robustness: bad registry values and command lines"
    echo
    echo "Generated by tests/e2e/robustness_test.sh, which runs the built \`zorvane.scr\`"
    echo "(32- and 64-bit) under Wine once per case and checks the outcome."
    echo "\"runs\" means the saver ran full-screen until a key ended it; what it"
    echo "showed while watched is one of: colours pile up (each frame a new attractor"
    echo "over the old ones), black and one colour a frame (8 pictures, none with"
    echo "more), black (no point drawn in 5 s, 20 s under emulation). \"dialog\" means the"
    echo "configuration dialog opened and Esc closed it; an error box was closed"
    echo "with Return. \"exit\" is the exit code. No case may crash, start the"
    echo "debugger or hang. Registry values are stored under"
    echo "\`HKEY_CURRENT_USER\\Software\\Glimra\\Zorv\`; every other value keeps its"
    echo "default (1, 1, 0, 10000, 1000, 200). Command lines are the tail after the"
    echo "program name; <E9> stands for the byte 0xE9."
    echo
    echo "| case | outcome | result |"
    echo "|---|---|---|"
    printf '%s\n' "${rows[@]}"
} >"$doc"
finish_e2e
