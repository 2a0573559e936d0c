#!/usr/bin/env bash
# run.sh - sets up if needed, builds and starts the saver.
#
# With a display (DISPLAY set): the 32-bit zorvane.scr under Wine on that
# display, full-screen; any key ends it. Arguments are passed to it, so
# `make run ARGS=/c` opens the configuration dialog. Settings live in a
# private Wine prefix in build/run-wine.
# Without a display: a short animation rendered headless to PNG frames.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

if [ -n "${DISPLAY:-}" ] && [ "${ZORVANE_HEADLESS:-0}" != 1 ]; then
    cmake --preset win32 >/dev/null
    cmake --build --preset win32 --target zorvane_saver
    export WINEPREFIX="$PWD/build/run-wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    [ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }
    args=("$@")
    [ ${#args[@]} -gt 0 ] || args=(/s)
    echo "starting build/win32/zorvane.scr ${args[*]} on $DISPLAY (any key ends it)"
    exec wine build/win32/zorvane.scr "${args[@]}"
fi

cmake --preset native >/dev/null
cmake --build --preset native --target zorvane-render
out=out/frames
rm -rf "$out" && mkdir -p out
build/native/zorvane-render --seed 20261208 --blank 1 --time-ms 2000 --frames-dir "$out" --out out/zorvane.png
echo "rendered $(ls "$out" | wc -l) frames of the spinning attractor into $out/"
echo "last frame: $PWD/out/zorvane.png"
