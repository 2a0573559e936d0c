#!/usr/bin/env bash
# Long run: the saver full-screen, every frame from black with the view
# spinning and the points walked anew, 100 frames a second; once a second
# its GDI objects (resource_probe), Unix file descriptors and resident
# memory (/proc) are read, and each must be as flat at the last second as at
# the second (the first holds what Wine sets up on its own). 5 s by default, 60 s with ZORVANE_SOAK=1 (make soak). Prints
# the figures and keeps them in ARTIFACTS/soak.txt.
# Usage: soak_test.sh SCR PROBE HARNESS STATE ARTIFACTS RESOURCE_PROBE
resource_probe=$6
source "$(dirname "$0")/e2e_lib.sh"
fullscreen_timers_or_skip

seconds=5
[ "${ZORVANE_SOAK:-0}" = 1 ] && seconds=60
# No allocation per frame: what Wine caches it does in the first seconds,
# so memory is compared from the second sample on; allocator and page
# noise stays well under 256 pages (1 MiB with 4 KiB pages).
rss_growth_limit_kb=$((256 * $(getconf PAGESIZE) / 1024))

rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$saver_pid/status" 2>/dev/null; }
fds() { find "/proc/$saver_pid/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l; }
gdi() { wine "$resource_probe" 2>/dev/null | tr -d '\r' | sed -n 's/^gdi=//p'; }

reg_clear
reg_set BlankScreen 1
reg_set AnimationTimer 10
reg_set CLSTimer 250
xdotool mousemove 500 400
start_saver /s
check "the picture appears" wait_for_pixels 15 "$artifacts/soak.png"

report=$artifacts/soak.txt
echo "second rss_kb fds gdi" >"$report"
start=$(date +%s%N)
for s in $(seq 1 "$seconds"); do
    # Sample at each whole second of the run.
    while [ $(( ($(date +%s%N) - start) / 1000000000 )) -lt "$s" ]; do sleep 0.05; done
    alive "$saver_pid" || break
    echo "$s $(rss_kb) $(fds) $(gdi)" >>"$report"
done
cat "$report"
read -r _ rss0 fds0 gdi0 < <(sed -n 3p "$report")
read -r last rss1 fds1 gdi1 < <(tail -n 1 "$report")
rss_max=$(awk 'NR > 2 && $2 > m { m = $2 } END { print m }' "$report")
echo "seconds 2 to ${last}: resident memory ${rss0} -> ${rss1} kB (most ${rss_max} kB), file descriptors ${fds0} -> ${fds1}, GDI objects ${gdi0:-unknown} -> ${gdi1:-unknown}"

check "it ran the whole time" test "$last" = "$seconds"
# Flat, and measured on a saver that was still drawing at the end.
check "it still draws at the end" still_drawing 5
check "resident memory grows by at most $rss_growth_limit_kb kB" test $(( rss_max - rss0 )) -le "$rss_growth_limit_kb"
check "file descriptors stay as they were" test "$fds1" = "$fds0"
if [ "$gdi0" != unknown ] && [ -n "$gdi0" ]; then
    check "GDI objects stay as they were" test "$gdi1" = "$gdi0"
else
    echo "SKIP: GDI objects stay as they were: resource_probe cannot count them on this build"
fi
send_key "$(saver_x_window)" Escape
check "a key ends it with 0" exited 10 0
reg_clear
finish_e2e
