#!/usr/bin/env bash
# A Windows build of zorvane-render, run under Wine, must draw the same
# pixels as the native build for the same seed and options.
# Usage: cross_build_test.sh NATIVE_RENDER HARNESS STATE WINDOWS_RENDER
set -u
native=$1 harness=$2 state=$3 windows=$4
[ -x "$native" ] || { echo "build the native configuration first: $native is missing"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fails=0 passes=0
for options in "--blank 0 --frames 5" "--blank 1 --rotate 0 --frames 5" \
               "--blank 1 --rotate 1 --frames 200" "--blank 1 --rotate 1 --continuous 0 --time-ms 30000"; do
    for seed in 1 20261208; do
        # shellcheck disable=SC2086
        "$native" --seed $seed $options --out "$tmp/native.png"
        # shellcheck disable=SC2086
        "$harness" exec "$state" "$windows" --seed $seed $options --out "$tmp/windows.png"
        differ=$(compare -metric AE "$tmp/native.png" "$tmp/windows.png" null: 2>&1)
        if [ "$differ" = 0 ]; then
            passes=$((passes + 1))
        else
            echo "seed $seed $options: $differ pixels differ"
            fails=$((fails + 1))
        fi
    done
done
echo "$passes passed, $fails failed"
[ "$fails" -eq 0 ]
