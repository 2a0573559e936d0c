#!/usr/bin/env bash
# repro.sh - shows that the release files depend on the source alone
# (make repro): clones HEAD twice, into two folders of different names and
# depths, builds the release in each (the second later, in another time
# zone, locale and umask), and compares the two SHA256SUMS. For each file
# that differs it names the file, with a diffoscope summary when diffoscope
# is installed. Exit status 0 when every file is identical.
#
#   scripts/repro.sh            work folders under /tmp, removed afterwards
#   ZORVANE_REPRO_KEEP=1 scripts/repro.sh   keep them
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d /tmp/zorvane-repro.XXXXXX)
[ "${ZORVANE_REPRO_KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
a=$work/a/zorvane
b=$work/b/a/much/longer/path/zorvane-second-clone
mkdir -p "$(dirname "$a")" "$(dirname "$b")"
git clone -q . "$a"
git clone -q . "$b"

start=$(date +%s)
echo "== first build, in $a"
(cd "$a" && scripts/release.sh >"$work/a.log" 2>&1) || { tail -n 30 "$work/a.log"; exit 1; }
echo "== second build, in $b"
(cd "$b" && umask 002 && TZ=Pacific/Auckland LANG=C.UTF-8 scripts/release.sh >"$work/b.log" 2>&1) ||
    { tail -n 30 "$work/b.log"; exit 1; }
echo "both builds took $(( $(date +%s) - start )) s"

echo "== $a/build/release/SHA256SUMS"
cat "$a/build/release/SHA256SUMS"
if cmp -s "$a/build/release/SHA256SUMS" "$b/build/release/SHA256SUMS"; then
    echo "repro: every release file is identical in both builds"
    exit 0
fi
echo "== $b/build/release/SHA256SUMS"
cat "$b/build/release/SHA256SUMS"
while read -r sum name; do
    grep -qx "$sum  $name" "$b/build/release/SHA256SUMS" && continue
    echo "repro: $name differs"
    if command -v diffoscope >/dev/null; then
        diffoscope --text - "$a/build/release/$name" "$b/build/release/$name" | head -n 60 || true
    fi
done <"$a/build/release/SHA256SUMS"
exit 1
