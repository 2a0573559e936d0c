#!/usr/bin/env bash
# wine-harness.sh - runs Windows test programs under Wine on a private
# virtual display, independent of the caller's DISPLAY and ~/.wine.
#
#   wine-harness.sh start STATE [SCREEN [MONITOR...]]
#                                         start Xvfb and a persistent wineserver; create the prefix once
#   wine-harness.sh exec STATE PROG..     run PROG under Wine on that display; exit status is PROG's
#   wine-harness.sh env STATE             print the environment (for scripts: eval "$(... env STATE)")
#   wine-harness.sh stop STATE            stop the wineserver and Xvfb
#
# SCREEN is the display's size and depth, 1024x768x24 unless given. With
# MONITORs (WIDTHxHEIGHT each), Wine's display is a nested X server (Xephyr)
# inside that Xvfb with one screen per MONITOR, side by side left to right,
# joined by Xinerama and without RandR: Wine then sees one monitor per
# screen, the first the primary, and the nested server's root is what the
# monitors show. Its pid is kept with Xvfb's and both stop together.
#
# STATE is a folder in the build tree; the Wine prefix lives in STATE/prefix
# and is kept between runs (creating it takes about 15 s). WINEARCH=win32 in
# the environment of "start" makes a new prefix a 32-bit one (a 32-bit
# Windows); Wine tells a prefix's kind from then on by itself.
set -u
cmd=${1:?usage: wine-harness.sh start|exec|env|stop STATE [SCREEN | PROG ARGS...]}
state=${2:?usage: wine-harness.sh start|exec|env|stop STATE [SCREEN | PROG ARGS...]}
shift 2
mkdir -p "$state"
state=$(cd "$state" && pwd)

export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installers

wine_env() {
    [ -s "$state/display" ] || { echo "wine-harness: not started (run: $0 start $state)" >&2; exit 125; }
    export DISPLAY=":$(head -n 1 "$state/display")"
}

stop_all() {
    if [ -d "$WINEPREFIX" ]; then
        timeout 20 wineserver -k >/dev/null 2>&1 || true
    fi
    if [ -s "$state/xvfb.pid" ]; then
        kill $(cat "$state/xvfb.pid") >/dev/null 2>&1 || true
    fi
    rm -f "$state/display" "$state/xvfb.pid"
}

case "$cmd" in
start)
    stop_all
    source "$(dirname "$0")/xvfb.sh"
    xvfb_start "$state" "${1:-1024x768x24}" || { echo "wine-harness: no display" >&2; exit 1; }
    echo "$xvfb_pid" >"$state/xvfb.pid"
    if [ $# -gt 1 ]; then
        shift
        nested=()
        for monitor in "$@"; do nested+=(-screen "$monitor"); done
        : >"$state/nested"
        setsid Xephyr -displayfd 3 "${nested[@]}" +xinerama -extension RANDR -br -noreset -nolisten tcp \
            3>"$state/nested" </dev/null >"$state/xephyr.log" 2>&1 &
        echo "$!" >>"$state/xvfb.pid"
        for _ in $(seq 1 100); do
            grep -q '^[0-9]' "$state/nested" 2>/dev/null && break
            sleep 0.1
        done
        grep -q '^[0-9]' "$state/nested" || { echo "wine-harness: no nested display" >&2; cat "$state/xephyr.log" >&2; exit 1; }
        cp "$state/nested" "$state/display"
    fi
    wine_env
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "wine-harness: creating Wine prefix in $WINEPREFIX"
        wineboot -i </dev/null >"$state/wineboot.log" 2>&1
        timeout 120 wineserver -w
    fi
    # Wine's own fonts (fonts-wine: "MS Sans Serif", Tahoma, ...) where Wine
    # looks first. This Wine looks for them beside /usr/share/fonts, not in
    # /usr/share/wine/fonts where the package puts them, and would otherwise
    # draw the dialogs in a wider substitute.
    if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
        ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    # A persistent server, started here with its output detached, so that no
    # test's Wine process leaves a server holding the test's output pipe.
    setsid wineserver -p </dev/null >/dev/null 2>&1
    # Start Wine's services now, detached, for the same reason: the first
    # program run would otherwise start them holding its output.
    setsid wine wineboot </dev/null >/dev/null 2>&1
    # No window manager runs here: Wine must not wait for one (it waits 2 s
    # for each top-level window it hands over to be withdrawn) but place,
    # focus and remove windows itself.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
    echo "wine-harness: display $DISPLAY, prefix $WINEPREFIX"
    ;;
exec)
    wine_env
    prog=${1:?usage: wine-harness.sh exec STATE PROG [ARGS...]}
    shift
    exec wine "$prog" "$@"
    ;;
env)
    wine_env
    printf 'export DISPLAY=%q WINEPREFIX=%q WINEDEBUG=-all WINEDLLOVERRIDES=%q\n' "$DISPLAY" "$WINEPREFIX" "$WINEDLLOVERRIDES"
    ;;
stop)
    stop_all
    ;;
*)
    echo "wine-harness: unknown command $cmd" >&2
    exit 2
    ;;
esac
