#!/usr/bin/env bash
# zorvane-render from the outside: exit statuses, messages, the files it
# leaves, and reproducibility. Usage: render_cli_test.sh RENDER [RUNNER...]
set -u
render=$1
shift
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
source "$(dirname "$0")/../checks.sh"

expect_usage_error() {  # expect_usage_error OPTION ARGS...
    local option=$1
    shift
    "$render" "$@" >"$tmp/out" 2>"$tmp/err"
    local status=$?
    check "$option: exit 2 (got $status)" test "$status" -eq 2
    check "$option: message names it" grep -q "^zorvane-render: $option" "$tmp/err"
}
expect_usage_error --seed --seed x --out "$tmp/a.png"
expect_usage_error --seed --seed 4294967296 --out "$tmp/a.png"
expect_usage_error --width --width 0 --out "$tmp/a.png"
expect_usage_error --height --height 0 --out "$tmp/a.png"
expect_usage_error --out --out
expect_usage_error --out --out "$tmp/missing/dir/a.png"
expect_usage_error --frames-dir --frames-dir /proc/zorvane-frames
check "nothing half-written" test -z "$(ls -A "$tmp" | grep -v '^out$\|^err$')"

"$render" --seed 5 --points 4294967295 --out "$tmp/a.png" >"$tmp/out" 2>"$tmp/err"
status=$?
check "failed start-up: exit 1 (got $status)" test "$status" -eq 1
check "failed start-up: box printed" grep -qx "Memory Error: Cannot allocate memory for point buffer!" "$tmp/err"
check "failed start-up: no picture" test ! -e "$tmp/a.png"

"$render" --seed 5 --width 64 --height 48 --frames 3 --blank 1 --out "$tmp/a.png" --frames-dir "$tmp/frames"
check "three frames written" test "$(ls "$tmp/frames" | tr '\n' ' ')" = "frame-00001.png frame-00002.png frame-00003.png "
check "last frame is --out" cmp -s "$tmp/a.png" "$tmp/frames/frame-00003.png"
"$render" --seed 5 --width 64 --height 48 --frames 3 --blank 1 --out "$tmp/b.png"
check "same seed, same picture" cmp -s "$tmp/a.png" "$tmp/b.png"
# --zoom 2: the half-size picture, each pixel a 2 x 2 block.
"$render" --seed 9 --width 300 --height 200 --zoom 2 --out "$tmp/z2.png"
"$render" --seed 9 --width 150 --height 100 --out "$tmp/z1.png"
convert "$tmp/z1.png" -scale 200% "$tmp/z1x2.png"
check "--zoom 2: the half-size picture magnified" test "$(compare -metric AE "$tmp/z2.png" "$tmp/z1x2.png" null: 2>&1)" = 0

# --time-ms 1000 with the default periods: frames at 200..1000, the clear at 1000.
"$render" --seed 5 --width 64 --height 48 --time-ms 1000 --out "$tmp/t.png" --frames-dir "$tmp/timed"
check "time limit runs five frames" test "$(ls "$tmp/timed" | wc -l)" -eq 5
check "time limit: --out is the last frame, not the clear after it" cmp -s "$tmp/t.png" "$tmp/timed/frame-00005.png"
"$render" --seed 5 --width 64 --height 48 --time-ms 100 --out "$tmp/black.png"
check "no frame before the first tick: black" test "$(convert "$tmp/black.png" -format '%[fx:maxima]' info:)" = 0

# Writing touches no other file: one with the name the writer tries first
# (its process id, then 0) stays, an existing picture is replaced in one
# step, and an empty folder in the way is refused rather than removed.
mkdir "$tmp/w"
echo old >"$tmp/w/k.png"
bash -c 'echo mine >"$1/k.png.$$.0.tmp" && exec "$2" --seed 5 --width 8 --height 8 --out "$1/k.png" --frames-dir "$1"' \
    - "$tmp/w" "$render"
planted=$(cd "$tmp/w" && ls -- k.png.*.0.tmp)
check "a file with the writer's own temporary name stays" test "$(cat "$tmp/w/$planted")" = mine
check "the old picture is replaced" cmp -s "$tmp/w/k.png" "$tmp/w/frame-00001.png"
mkdir "$tmp/w/d.png"
"$render" --seed 5 --width 8 --height 8 --out "$tmp/w/d.png" 2>"$tmp/err"
status=$?
check "a folder in the way: exit 2 (got $status)" test "$status" -eq 2
check "a folder in the way: it stays" test -d "$tmp/w/d.png"
check "no temporary file left, the planted one seen" test "$(ls "$tmp/w" | grep '\.tmp$')" = "$planted"

# A 16384 x 16384 picture (a 1 GiB surface) of two frames and a clear
# writes some thousands of its pages; the rest, never written, must never
# be touched, not even read (on some kernels a read maps a page as well).
# Peak resident memory tells the two apart far from either: about 1 GiB
# when every page is touched, some tens of MiB when only the written ones.
command time -f %M -o "$tmp/rss" "$render" --seed 3 --width 16384 --height 16384 --frames 2 --clear-ms 300 --out "$tmp/huge.png"
rss=$(tail -n 1 "$tmp/rss")
echo "16384 x 16384, two frames and a clear: peak resident memory $rss kB"
check "16384 x 16384: pages never written stay untouched ($rss kB, bound 262144 kB)" test "$rss" -lt 262144
check "16384 x 16384: the picture is written" test -s "$tmp/huge.png"

# Out of memory: one line, exit 1, nothing written. The same limit leaves
# room for a small picture. Address-sanitized builds reserve more address
# space than any such limit, so they skip this.
if [ "${ZORVANE_SANITIZED:-0}" != 1 ]; then
    mkdir "$tmp/m"
    (ulimit -v 600000 && "$render" --seed 5 --width 64 --height 48 --out "$tmp/m/small.png")
    check "within the limit: a small picture" test -s "$tmp/m/small.png"
    (ulimit -v 600000 && "$render" --seed 5 --width 16384 --height 16384 --out "$tmp/m/big.png" 2>"$tmp/err")
    status=$?
    check "out of memory: exit 1 (got $status)" test "$status" -eq 1
    check "out of memory: one line" test "$(cat "$tmp/err")" = "zorvane-render: not enough memory for a 16384 x 16384 surface"
    check "out of memory: nothing written" test "$(ls "$tmp/m")" = small.png
fi

finish
