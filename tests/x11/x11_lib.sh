#!/usr/bin/env bash
# x11_lib.sh - shared steps of the X11 saver's tests: a private Xvfb of a
# chosen size (never the caller's display), checks, polls and screenshots.
# Sourced by the tests.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"
tmp=$(mktemp -d)
xvfb_pid=

stop_xvfb() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
}

cleanup() {
    jobs -p | xargs -r kill 2>/dev/null
    stop_xvfb
    rm -rf "$tmp"
}
trap cleanup EXIT

start_xvfb() {  # start_xvfb WxH[xDEPTH]: a fresh display with a black root; sets DISPLAY
    stop_xvfb
    local screen=$1
    [[ $screen == *x*x* ]] || screen=${screen}x24
    xvfb_start "$tmp" "$screen" || exit 1
}

shot() { import -window "${2:-root}" "$1" 2>/dev/null; }      # shot FILE [WINDOW]
colours() { convert "$1" -format '%k' info: 2>/dev/null; }
differ() { compare -metric AE "$1" "$2" null: 2>&1; }          # pixels that differ

drawn() { shot "$1" "${2:-root}" && [ "$(colours "$1")" -gt 1 ]; }   # drawn FILE [WINDOW]: more than black
alive() { kill -0 "$1" 2>/dev/null; }
gone() { ! kill -0 "$1" 2>/dev/null; }

reap() {  # reap PID [SECONDS]: waits for it (killed after SECONDS, default 10); status in $status
    local watchdog
    ( trap - EXIT; sleep "${2:-10}"; kill -9 "$1" ) </dev/null >/dev/null 2>&1 &  # holds no output open
    watchdog=$!
    wait "$1"
    status=$?
    kill -9 "$watchdog" 2>/dev/null  # SIGKILL: the subshell must not run the EXIT trap
    wait "$watchdog" 2>/dev/null
}

# A home whose ~/.xscreensaver runs one program, and as_user, the command
# prefix that runs XScreenSaver's programs there. XScreenSaver will not run
# hacks as root, so as root they run as the user nobody. Sets home, as_user.
xscreensaver_home() {  # xscreensaver_home COMMAND-LINE
    chmod 755 "$tmp"
    home=$tmp/home
    mkdir -p "$home"
    printf 'mode: one\nselected: 0\nsplash: False\nlock: False\nfade: False\nunfade: False\nprograms: %s \\n\n' \
        "$1" >"$home/.xscreensaver"
    as_user=(env HOME="$home")
    if [ "$(id -u)" -eq 0 ]; then
        chown -R nobody "$home"
        as_user=(runuser -u nobody -- env HOME="$home")
    fi
}
