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
# How the 32-bit Wine of the win32 tests and the installer's stub run here.
i386=$(scripts/runs-i386.sh --how)
case $i386 in
native) i386_ran="32-bit code ran natively" ;;
emulated*) i386_ran="32-bit code ran ${i386/emulated/under emulation,}" ;;
*) i386_ran="32-bit code cannot run here ${i386#no }" ;;
esac
for preset in native native-asan web fuzz win32 win64; do
    log=build/$preset-ctest.log
    preset_start=$(date +%s)
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
    if [ "$preset" = win32 ] && [[ $i386 == no* ]]; then
        echo "== $preset: tests NOT RUN: $i386_ran, so 32-bit Wine cannot either"
        summary+=("$preset: built; tests NOT RUN: $i386_ran")
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
    took="$(( $(date +%s) - preset_start )) s"
    case $preset in
    win32) took="$took; $i386_ran" ;;
    win64) took="$took; the installer's 32-bit stub: ${i386_ran#32-bit code }" ;;
    esac
    if [ "$status" -ne 0 ]; then
        summary+=("$preset: FAILED: ${result:-no test summary} ($took)")
        failed=1
    else
        summary+=("$preset: $result ($took)")
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
