#!/usr/bin/env bash
# The configuration dialog, as a user sees it: every switch that is not a
# run request opens it with the stored values; OK stores what was typed by
# the saver's parse rule, Cancel and Esc store nothing, About opens its box
# (Esc there does nothing), and a point count that cannot be allocated makes
# the start-up after the dialog fail with -1. Nothing waits a fixed time:
# every wait polls with a limit.
# Usage: config_dialog_test.sh SCR PROBE HARNESS STATE ARTIFACTS
source "$(dirname "$0")/e2e_lib.sh"

probe() { wine "$probe" "$@" 2>/dev/null | tr -d '\r'; }
fields=
read_fields() { fields=$(probe read); }
field() { printf '%s\n' "$fields" | awk -F= -v n="$1" '$1 == n { print $2 }'; }

about_is() { test "$(probe about)" = "about=$1"; }

open_dialog() {  # open_dialog ARGS...: start the saver and wait for its dialog
    start_saver "$@"
    wine "$probe" wait 15000 >/dev/null 2>&1
}

# The stored values are shown (no switch at all).
reg_clear
reg_set NumberPoints 12345
reg_set CLSTimer 3500
reg_set AnimationTimer 150
reg_set EnableRotation 0
reg_set EnableContinuous 1
reg_set BlankScreen 1
check "no switch: the dialog opens" open_dialog
shot "$artifacts/config.png"
read_fields
check "shows NumberPoints" test "$(field points)" = 12345
check "shows CLSTimer in whole seconds" test "$(field secs)" = 3
check "shows AnimationTimer" test "$(field ms)" = 150
check "shows the check boxes" test "$(field rotate)$(field continuous)$(field blank)" = 011
# Esc closes it and stores nothing.
probe set points=999
send_key "$(x_window '^Configure Screen Saver$')" Escape
check "Esc: exit status 0" exited 15 0
check "Esc: nothing stored" test "$(reg_get NumberPoints)" = 12345

# /c: OK stores the parsed values.
check "/c: the dialog opens" open_dialog /c
probe set "points= 42x" secs=2.5 ms=75 rotate=1 continuous=0 blank=0
probe press ok
check "/c OK: exit status 0" exited 15 0
check "' 42x' points -> 42" test "$(reg_get NumberPoints)" = 42
check "2.5 seconds -> 2000 ms" test "$(reg_get CLSTimer)" = 2000
check "frame ms stored" test "$(reg_get AnimationTimer)" = 75
check "check boxes stored" test "$(reg_get EnableRotation)$(reg_get EnableContinuous)$(reg_get BlankScreen)" = 100

# /c:1234: the About box, which Esc does not close. The probe's sync shows
# the Esc was handled before the box is looked at; the same posted Esc then
# closes the configuration dialog, which does handle it.
check "/c:1234: the dialog opens" open_dialog /c:1234
probe press about
check "About opens" wait_for 10 about_is open
shot "$artifacts/about.png"
probe about-key-escape
check "the Esc to About is handled" probe sync
check "Esc does not close About" about_is open
probe about-ok
check "OK closes About" wait_for 10 about_is closed
probe set secs=9
probe key-escape
check "a posted Esc closes the dialog with 0" exited 15 0
check "... and stores nothing" test "$(reg_get CLSTimer)" = 2000

# No switch that asks to run or for a preview (/x 1234): the dialog; Cancel
# stores nothing. (/p asks for a preview, never a dialog: saver_preview_test.sh.)
check "/x 1234: the dialog opens" open_dialog /x 1234
probe set points=7
probe press cancel
check "/x Cancel: exit status 0" exited 15 0
check "Cancel: nothing stored" test "$(reg_get NumberPoints)" = 42

# -1 points: stored as 4294967295, and the start-up after the dialog fails.
# Seconds wrap as well.
check "/c -1: the dialog opens" open_dialog /c
probe set points=-1 secs=4294968
probe press ok
box=$(wait_x_window 15 '^Memory Error$')
check "-1 points: the Memory Error box follows the dialog" test -n "$box"
send_key "$box" Return
check "-1 points: exit status -1 (255)" exited 15 255
check "-1 points stored as 4294967295" test "$(reg_get NumberPoints)" = 4294967295
check "4294968 seconds -> 704 ms" test "$(reg_get CLSTimer)" = 704
check "/c again: the dialog opens" open_dialog /c
read_fields
check "4294967295 points shows as -1" test "$(field points)" = -1
probe press cancel
box=$(wait_x_window 15 '^Memory Error$')
check "after Cancel the start-up fails as well" test -n "$box"
send_key "$box" Return
check "... with exit status -1 (255)" exited 15 255

reg_clear
finish_e2e
