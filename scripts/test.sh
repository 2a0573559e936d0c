#!/usr/bin/env bash
# test.sh - builds every configuration and runs every test:
# native, native with address + undefined sanitizers, the web page
# (emscripten, tested in headless Chromium), the fuzz targets (clang, a
# short run each), and the 32- and 64-bit Windows builds under Wine. The
# native build goes first: the web and Windows suites compare their
# pictures with its output. A configuration that fails does not stop the
# others; the summary has one line per configuration, and the exit status
# is non-zero when any failed.
#
# Every test must have a TIMEOUT (cmake/TestTimeouts.cmake), so a hang is
# a named failure. The tests run with a PATH that holds only the programs bootstrap.sh
# declares (build/tool-path), so a test that calls an undeclared program
# fails here, on every machine, not only on a fresh one.
set -uo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh test --path build/tool-path || exit 1
tool_path=$PWD/build/tool-path

start=$(date +%s)
summary=()
failed=0
for preset in native native-asan web fuzz win32 win64; do
    log=build/$preset-ctest.log
    echo "== $preset: configure and build"
    if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset"; }; then
        summary+=("$preset: FAILED to build")
        failed=1
        continue
    fi
    ctest --preset "$preset" --show-only=json-v1 >"build/$preset-tests.json"
    if ! untimed=$(cmake -DTESTS="build/$preset-tests.json" -P cmake/TestTimeouts.cmake 2>&1); then
        echo "$untimed"
        summary+=("$preset: FAILED: some tests have no TIMEOUT")
        failed=1
        continue
    fi
    # 32-bit Wine runs only where 32-bit programs can (scripts/runs-i386.sh).
    if [ "$preset" = win32 ] && ! scripts/runs-i386.sh; then
        echo "== $preset: tests SKIPPED: this machine cannot run 32-bit x86 programs, so neither can 32-bit Wine"
        summary+=("$preset: built; tests SKIPPED: this machine cannot run 32-bit x86 programs")
        continue
    fi
    echo "== $preset: test"
    PATH=$tool_path ctest --preset "$preset" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    result=$(grep -E 'tests passed' "$log" | tail -n 1)
    if grep -q 'command not found' "$log"; then
        result="$result; a test called a program bootstrap.sh does not declare:"
        result="$result $(grep -o '[^ :]*: command not found' "$log" | sort -u | tr '\n' ' ')"
        status=1
    fi
    if [ "$status" -ne 0 ]; then
        summary+=("$preset: FAILED: ${result:-no test summary}")
        failed=1
    else
        summary+=("$preset: $result")
    fi
done
echo
echo "== summary ($(( $(date +%s) - start )) s)"
printf '%s\n' "${summary[@]}"
if [ "$failed" -ne 0 ]; then
    echo "some configurations FAILED"
    exit 1
fi
echo "all configurations passed"
