#!/usr/bin/env bash
# run-wine.sh - sets up if needed, builds the 32-bit zorvane.scr and starts
# it under Wine on the current display, full-screen; any key ends it.
# Arguments are passed to it, so `make run-wine ARGS=/c` opens the
# configuration dialog. Settings live in a private Wine prefix in
# build/run-wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh run-wine
[ -n "${DISPLAY:-}" ] || { echo "run-wine: no display (DISPLAY is not set)" >&2; exit 1; }

cmake --preset win32 >/dev/null
cmake --build --preset win32 --target zorvane_saver
export WINEPREFIX="$PWD/build/run-wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(/s)
echo "starting build/win32/zorvane.scr ${args[*]} on $DISPLAY (any key ends it)"
exec wine build/win32/zorvane.scr "${args[@]}"
