#!/usr/bin/env bash
# long-runs.sh - the long forms of the tests that make test runs short.
#
#   long-runs.sh fuzz    every fuzz target for ZORVANE_FUZZ_SECONDS (default 600) each
#   long-runs.sh soak    the long runs (ZORVANE_SOAK=1): 24 virtual hours headless,
#                        60 s of the real saver under Wine and on X11
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
what=${1:?usage: long-runs.sh fuzz|soak}

case "$what" in
fuzz)
    export ZORVANE_FUZZ_SECONDS=${ZORVANE_FUZZ_SECONDS:-600}
    presets=(fuzz)
    label=fuzz
    ;;
soak)
    export ZORVANE_SOAK=1
    presets=(native native-asan win32 win64)
    label=soak
    ;;
*)
    echo "long-runs: unknown $what" >&2
    exit 2
    ;;
esac

for preset in "${presets[@]}"; do
    echo "== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset: $what"
    log=build/$preset-$what.log
    status=0
    ctest --preset "$preset" -L "$label" --timeout 86400 -V >"$log" 2>&1 || status=$?
    # The figures each run measured, and the verdicts; the whole output is in $log.
    grep -E 'executions|resident|over [0-9]+ s|->|Test +#|tests passed' "$log" | sed 's/^[0-9]*: //' | sort -u
    [ "$status" -eq 0 ] || { echo "== $preset: FAILED, see $log" >&2; exit 1; }
done
