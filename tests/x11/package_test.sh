#!/usr/bin/env bash
# The Debian package as lintian sees it, and what makes the same commit
# pack to the same bytes: every member's time is SOURCE_DATE_EPOCH, else the
# commit's time, and its gzip files hold no name or time. Prints lintian's whole report, explanations included.
# Usage: package_test.sh BUILD-DIR SOURCE-DIR
set -u
source "$(dirname "$0")/../checks.sh"
build=$1 source=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

umask 022
(cd "$build" && cpack -G DEB -B "$tmp/package" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/package/zorvane_*_amd64.deb)

lintian --fail-on error,warning --info --display-info "$deb" >"$tmp/lintian.log" 2>&1
status=$?
echo "lintian (exit status $status):"
cat "$tmp/lintian.log"
check "lintian finds no error or warning" test "$status" -eq 0

# The libraries the saver links come from dpkg-shlibdeps, Wayland's too.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
check "the package depends on libx11-6" grep -q 'libx11-6' <<<"$depends"
check "the package depends on libsystemd0 (the GNOME idle source)" grep -q 'libsystemd0' <<<"$depends"
if ldd "$build/zorvane" | grep -q libwayland-client; then
    check "the package depends on libwayland-client0" grep -q 'libwayland-client0' <<<"$depends"
fi

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct)}
times() {  # the time of every member of the .deb and of its two archives, one a line
    mkdir "$tmp/ar" && (cd "$tmp/ar" && ar xo "$deb") && stat -c %Y "$tmp"/ar/*
    for a in control data; do
        tar tvzf "$tmp/ar/$a.tar.gz" --utc --full-time | awk '{ print $4 "T" $5 "Z" }' | xargs -n 1 date +%s -d
    done
}
times >"$tmp/times"
echo "member times: $(sort "$tmp/times" | uniq -c | tr -s ' \n' ' ')(expected $epoch)"
check "every member's time is $epoch" test -z "$(grep -v -x "$epoch" "$tmp/times")"
check "the member times were read" test "$(wc -l <"$tmp/times")" -gt 20

# gzip -n: the compressed manual pages and changelog carry no name or time
# (header flags and time all zero).
mkdir "$tmp/data" && tar xzf "$tmp/ar/data.tar.gz" -C "$tmp/data"
stamped=$(find "$tmp/data" -name '*.gz' | while read -r f; do
    [ "$(od -A n -t x1 -j 3 -N 5 "$f" | tr -d ' ')" = 0000000000 ] || echo "${f#"$tmp/data"}"
done)
check "no gzip file inside holds a name or time: ${stamped:-none does}" test -z "$stamped"
check "the package holds gzip files" test -n "$(find "$tmp/data" -name '*.gz')"
# The hack is on PATH too, where idle daemons and the login entry run it.
check "/usr/bin/zorvane leads to the hack" \
    test "$(readlink "$tmp/data/usr/bin/zorvane")" = ../libexec/xscreensaver/zorvane -a -x "$tmp/data/usr/libexec/xscreensaver/zorvane"
finish
