#!/usr/bin/env bash
# x11_lib.sh - shared steps of the X11 saver's tests: a private Xvfb of a
# chosen size (never the caller's display), checks, polls and screenshots.
# Sourced by the tests.
set -u
unset WAYLAND_DISPLAY  # zorvane would draw on a compositor of the caller's
source "$(dirname "${BASH_SOURCE[0]}")/../checks.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"
tmp=$(mktemp -d)
xvfb_pid=
export XDG_CONFIG_HOME=$tmp/config  # no config file or login entry but the test's own

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


reap() {  # reap PID [SECONDS]: waits for it (killed after SECONDS, default 10); status in $status
    local watchdog
    ( trap - EXIT; sleep "${2:-10}"; kill -9 "$1" ) </dev/null >/dev/null 2>&1 &  # holds no output open
    watchdog=$!
    wait "$1"
    status=$?
    kill -9 "$watchdog" 2>/dev/null  # SIGKILL: the subshell must not run the EXIT trap
    wait "$watchdog" 2>/dev/null
}

# PATH with every folder that others cannot enter (the tests' tool-path in
# a clone under /root, mode 0700) replaced by a copy in $tmp, its links kept
# as links.
others_enter() {  # others_enter DIR: DIR and every folder above it have the x bit for others
    local d=$1
    while [ -n "$d" ]; do
        [ $((0$(stat -L -c %a "$d" 2>/dev/null || echo 0) & 1)) -eq 1 ] || return 1
        d=${d%/*}
    done
}
reachable_path() {  # reachable_path PATH
    local dir copy out=()
    for dir in ${1//:/ }; do
        if ! others_enter "$dir"; then
            copy=$(mktemp -d "$tmp/path.XXXXXX")
            cp -a "$dir/." "$copy/"
            chmod 755 "$copy"
            dir=$copy
        fi
        out+=("$dir")
    done
    (IFS=:; echo "${out[*]}")
}

# as_user, the command prefix that runs XScreenSaver's programs with HOME
# (and DIR first on PATH). XScreenSaver will not run hacks as root, so as
# root they run as the user nobody, in HOME, with a PATH nobody can follow
# wherever the clone is.
as_user_at() {  # as_user_at HOME [DIR]
    local path=${2:+$2:}$PATH
    as_user=(env HOME="$1" PATH="$path")
    if [ "$(id -u)" -eq 0 ]; then
        chmod 755 "$tmp"
        chown -R nobody "$1"
        path=$(reachable_path "$path")
        as_user=(env PATH="$path" runuser -u nobody -- env -C "$1" HOME="$1" PATH="$path")
    fi
}

# A home whose ~/.xscreensaver runs one program. Sets home, as_user.
xscreensaver_home() {  # xscreensaver_home COMMAND-LINE
    chmod 755 "$tmp"
    home=$tmp/home
    mkdir -p "$home"
    printf 'mode: one\nselected: 0\nsplash: False\nlock: False\nfade: False\nunfade: False\nprograms: %s \\n\n' \
        "$1" >"$home/.xscreensaver"
    as_user_at "$home"
}
