#!/usr/bin/env bash
# run.sh - sets up if needed, builds and starts the saver.
#
# With a display (WAYLAND_DISPLAY or DISPLAY set): the native saver,
# full-screen (on Wayland on every output); any key, a button or moving the
# mouse ends it. Arguments are passed to it, so
# `make run ARGS="--blank 1 --points 100000"` works.
# Without a display: a short animation rendered headless to PNG frames.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh run
cmake --preset native >/dev/null

if [ -n "${WAYLAND_DISPLAY:-}${DISPLAY:-}" ] && [ "${ZORVANE_HEADLESS:-0}" != 1 ]; then
    cmake --build --preset native --target zorvane
    echo "starting build/native/zorvane --fullscreen $* on ${WAYLAND_DISPLAY:-$DISPLAY} (any key ends it)"
    exec build/native/zorvane --fullscreen "$@"
fi

cmake --build --preset native --target zorvane-render
out=out/frames
rm -rf "$out" && mkdir -p out
build/native/zorvane-render --seed 20261208 --blank 1 --time-ms 2000 --frames-dir "$out" --out out/zorvane.png
echo "rendered $(ls "$out" | wc -l) frames of the spinning attractor into $out/"
echo "last frame: $PWD/out/zorvane.png"
