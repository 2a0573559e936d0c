#!/usr/bin/env bash
# fuzz-run.sh - runs one libFuzzer target for a bounded time from its seed
# corpus; fails when it finds a crash, a leak or a hang.
#
#   fuzz-run.sh FUZZER CORPUS WORKDIR
#
# ZORVANE_FUZZ_SECONDS sets the time (default 20). New inputs the fuzzer
# finds go to WORKDIR/corpus, not into the checked-in CORPUS; a crashing
# input is kept as WORKDIR/crash-*, and should be copied into CORPUS so the
# replay test guards it from then on.
set -u
fuzzer=$1 corpus=$2 work=$3
seconds=${ZORVANE_FUZZ_SECONDS:-20}
mkdir -p "$work/corpus"
name=$(basename "$fuzzer")
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus" "$corpus" >"$work/log" 2>&1
status=$?
runs=$(grep -E '^stat::number_of_executed_units:' "$work/log" | awk '{print $2}')
echo "$name: ${runs:-?} executions (limit ${seconds} s), status $status"
if [ "$status" -ne 0 ]; then
    tail -n 40 "$work/log"
    for crash in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
        [ -e "$crash" ] && echo "failing input: $crash (copy it into $corpus to keep it as a regression test)"
    done
fi
exit "$status"
