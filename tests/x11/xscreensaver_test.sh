#!/usr/bin/env bash
# The hack under the real XScreenSaver daemon, installed from the Debian
# package: activating the daemon starts it and the attractor appears;
# deactivating it ends the hack. XScreenSaver will not
# launch hacks as root, so as root the daemon runs as the user nobody.
# Usage: xscreensaver_test.sh BUILD-DIR ARTIFACT-DIR
source "$(dirname "$0")/x11_lib.sh"
build=$1 artifacts=$2
mkdir -p "$artifacts"
command -v xscreensaver >/dev/null || { echo "xscreensaver is not installed"; exit 1; }

# The package, built from this build and unpacked.
chmod 755 "$tmp"
(cd "$build" && cpack -G DEB -B "$tmp/package" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/package/zorvane_*_amd64.deb)
dpkg-deb -x "$deb" "$tmp/root"
hack=$tmp/root/usr/libexec/xscreensaver/zorvane
check "the package holds the hack" test -x "$hack"
check "the package holds its settings file" test -f "$tmp/root/usr/share/xscreensaver/config/zorvane.xml"

# A fixed seed and a long first frame, so the screen can be compared with
# zorvane-render's picture.
picture="--seed 31337 --frame-ms 2000 --clear-ms 600000"
xscreensaver_home "$hack --root $picture"

start_xvfb 800x600
"${as_user[@]}" DISPLAY="$DISPLAY" xscreensaver -no-splash >"$tmp/daemon.log" 2>&1 &
daemon=$!
command_() { "${as_user[@]}" DISPLAY="$DISPLAY" xscreensaver-command "$@" >/dev/null 2>&1; }
check "the daemon answers" wait_for 15 command_ -time

hack_running() { pgrep -f "^$hack" >/dev/null; }
check "before -activate: no hack" sh -c "! pgrep -f '^$hack' >/dev/null"
command_ -activate
check "-activate: the hack starts" wait_for 15 hack_running
# shellcheck disable=SC2086
"$tmp/root/usr/bin/zorvane-render" $picture --width 800 --height 600 --frames 1 --out "$tmp/ref.png"
the_picture() { shot "$tmp/shot.png" && [ "$(differ "$tmp/shot.png" "$tmp/ref.png")" = 0 ]; }
check "-activate: the hack's first frame is on the screen" wait_for 10 the_picture
cp "$tmp/shot.png" "$artifacts/xscreensaver.png"

command_ -deactivate
t0=$(date +%s%N)
wait_for 10 sh -c "! pgrep -f '^$hack' >/dev/null"
ended=$?
ms=$(( ($(date +%s%N) - t0) / 1000000 ))
echo "the hack ended $ms ms after -deactivate"  # reported: a loaded machine says little
check "-deactivate: the hack ends" test "$ended" = 0
check "the daemon is still running after -deactivate" alive "$daemon"

command_ -exit
check "-exit: the daemon ends" wait_for 10 gone "$daemon"

# zorvane-xscreensaver-add with an empty HOME, while a daemon runs on the
# system's default list: it writes ~/.xscreensaver, the daemon reads it
# again by itself, and -select of the entry the command names starts the
# hack, found on the PATH as the package's entry names it.
add=$tmp/root/usr/bin/zorvane-xscreensaver-add
home=$tmp/home-add
mkdir -p "$home"
as_user_at "$home" "$(dirname "$hack")"
"${as_user[@]}" DISPLAY="$DISPLAY" xscreensaver -no-splash >"$tmp/daemon.log" 2>&1 &
daemon=$!
check "the daemon answers (no ~/.xscreensaver)" wait_for 15 command_ -time
"${as_user[@]}" "$add" >"$tmp/add.log" 2>&1
cat "$tmp/add.log"
n=$(sed -n 's/.* as entry \([0-9]*\) of .*/\1/p' "$tmp/add.log")
check "the command names Zorvane's entry" test -n "$n"
list_of() { awk '/^\*?programs:/,/[^\\]$/' "$1"; }
check "the list is the system's with Zorvane at the end" diff \
    <(list_of /etc/X11/app-defaults/XScreenSaver | sed 's/^\*//; $s/$/\\/'; printf '\t\t\t\tzorvane --root\t\t\t\t    \\n\n') \
    <(list_of "$home/.xscreensaver")
hack_from_path() {  # a process of the package's hack, started as "zorvane --root"
    local pid
    for pid in $(pgrep -x zorvane); do
        [ "$(readlink "/proc/$pid/exe")" = "$hack" ] && [ "$(tr '\0' ' ' <"/proc/$pid/cmdline")" = "zorvane --root " ] && return 0
    done
    return 1
}
check "before -select: not the package's hack" eval '! hack_from_path'
command_ -select "${n:-0}"
check "-select $n: Zorvane starts" wait_for 15 hack_from_path
check "-select $n: Zorvane draws" wait_for 10 drawn "$tmp/shot.png"
cp "$tmp/shot.png" "$artifacts/xscreensaver-add.png"
cp "$home/.xscreensaver" "$tmp/first"
"${as_user[@]}" "$add" >/dev/null 2>&1
check "a second run leaves the file as it was" cmp -s "$tmp/first" "$home/.xscreensaver"
check "a second run makes no backup" test ! -e "$home/.xscreensaver.bak"
command_ -exit
check "-exit: the daemon ends" wait_for 10 gone "$daemon"

# A list without Zorvane gets it as one more entry; the old file is kept.
printf 'mode: one\nprograms: maze --root \\n\\\n  - GL: gears --root \\n\nlock: False\n' >"$home/.xscreensaver"
cp "$home/.xscreensaver" "$tmp/before"
"${as_user[@]}" "$add" >/dev/null 2>&1
check "the backup is the previous file" cmp -s "$tmp/before" "$home/.xscreensaver.bak"
check "Zorvane is the list's third entry" \
    diff <(printf 'mode: one\nprograms: maze --root \\n\\\n  - GL: gears --root \\n\\\n\t\t\t\tzorvane --root\t\t\t\t    \\n\nlock: False\n') "$home/.xscreensaver"
[ "$fails" -eq 0 ] || { echo "daemon log:"; cat "$tmp/daemon.log"; }
finish
