#!/usr/bin/env bash
# test.sh - builds every configuration and runs every test:
# native, native with address + undefined sanitizers, the fuzz targets
# (clang, a short run each), and the 32- and 64-bit Windows builds under
# Wine. The native build goes first: the Windows suites compare their
# pictures with its output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh

start=$(date +%s)
summary=()
for preset in native native-asan fuzz win32 win64; do
    echo "== $preset: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    echo "== $preset: test"
    log=build/$preset-ctest.log
    if ! ctest --preset "$preset" 2>&1 | tee "$log"; then
        echo "== $preset: FAILED" >&2
        exit 1
    fi
    summary+=("$preset: $(grep -E 'tests passed' "$log" | tail -n 1)")
done
echo
echo "== summary"
printf '%s\n' "${summary[@]}"
echo "all builds passed in $(( $(date +%s) - start )) s"
