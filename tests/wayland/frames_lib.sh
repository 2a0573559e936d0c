#!/usr/bin/env bash
# frames_lib.sh - is what an output shows one of zorvane-render's frames?
# Sourced after wayland_lib.sh, with render (zorvane-render) and still (the
# options both programs draw with) set:
#
#   reference one 900 1280x720            # the first frames of seed 900, as digests
#   poll_for 20 shows HEADLESS-1 one
#   announced_seed HEADLESS-2 900 "$out"  # the seed the output got, from a WAYLAND_DEBUG=1 trace
#
# A picture shows one of its frames: the first $reference_frames (20 unless
# set) as zorvane-render makes them are its references, each kept as the
# digest of its pixels (or of the pixels in a region, WxH+X+Y). Make them
# before the picture starts: on a loaded machine that takes a minute, and
# the picture's first frames go by meanwhile.
pixels_of() { convert "$1" ${2:+-crop "$2" +repage} rgb:- | md5sum | cut -d' ' -f1; }  # pixels_of IMAGE [REGION]
sums() {  # sums NAME FRAMES [REGION]: $tmp/NAME.sums, the digests of reference FRAMES' frames (or of a region of them)
    local f
    for f in "$tmp/$2.d"/*.png; do pixels_of "$f" "${3:-}"; done >"$tmp/$1.sums"
}
reference() {  # reference NAME SEED WxH: zorvane-render's frames in $tmp/NAME.d, their digests in $tmp/NAME.sums
    mkdir -p "$tmp/$1.d"
    "$render" "${still[@]}" --zoom 0 --seed "$2" --width "${3%x*}" --height "${3#*x}" --frames "${reference_frames:-20}" --frames-dir "$tmp/$1.d" \
        --out "$tmp/$1.png"
    sums "$1" "$1"
}
is_frame() { grep -qx "$(pixels_of "$1" "${3:-}")" "$tmp/$2.sums"; }  # is_frame IMAGE NAME [REGION]
shows() { grab "$1" "$tmp/shot.png" && is_frame "$tmp/shot.png" "$2"; }  # shows OUTPUT NAME: one of NAME's frames
# Seeds go to the outputs in the order the compositor announces them,
# which differs between sway releases (1.7: HEADLESS-1 first, 1.10:
# HEADLESS-2) and after an output is taken away and back: the order is
# read from the run's protocol trace (WAYLAND_DEBUG=1).
announced_seed() {  # announced_seed OUTPUT SEED TRACE: SEED + where OUTPUT came in the announce order in TRACE
    awk -v name="$1" -v seed="$2" '/wl_output[@#][0-9]+\.name\("/ { sub(/.*name\("/, ""); sub(/"\).*/, "")
        if ($0 == name) { print seed + n; found = 1; exit } n++ } END { exit !found }' "$3"
}
