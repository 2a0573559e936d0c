#!/usr/bin/env bash
# test-debian13.sh - make test on a fresh Debian 13 ("trixie"), as a new
# user there runs it: a minimal system with git and make, as root, the clone
# in /root (mode 0700), gawk installed beside mawk, and one apt source that
# cannot be reached. Runs as root on any Debian with debootstrap.
#
#   scripts/test-debian13.sh [COMMIT]    the commit to test (default HEAD)
#
# Kept between runs, in $ZORVANE_CI_DIR (default /var/lib/zorvane-ci):
#   trixie-base/       the base system, made with debootstrap when missing
#   trixie-apt-cache/  the packages downloaded, bind-mounted as the system's
#                      apt cache, so each is fetched once
# Each run copies the base to trixie-work/ (left there for a look
# afterwards, removed by the next run), clones COMMIT into its
# /root/zorvane and runs make test there. Everything mounted is unmounted
# however the run ends; the exit status is make test's.
# ZORVANE_DEBIAN_MIRROR names the archive (default http://deb.debian.org/debian).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$repo" rev-parse --verify "${1:-HEAD}^{commit}")
ci=${ZORVANE_CI_DIR:-/var/lib/zorvane-ci}
mirror=${ZORVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
base=$ci/trixie-base work=$ci/trixie-work cache=$ci/trixie-apt-cache

say() { echo "debian13: $*"; }
[ "$(id -u)" -eq 0 ] || { say "run me as root (debootstrap, chroot and mount need it)" >&2; exit 1; }
mkdir -p "$ci" "$cache/partial"
# One run at a time: the runs share the base and the cache.
exec 9>"$ci/test-debian13.lock"
flock 9

# Unmounts everything below the work folder, deepest first, after ending
# the processes still running inside it (a Wine server, an Xvfb).
release_work() {
    local pid mounts
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$work" ] && { kill -9 "$pid" 2>/dev/null || true; }
    done
    mounts=$(awk -v w="$work" '$5 == w || index($5, w "/") == 1 { print $5 }' /proc/self/mountinfo | sort -r)
    for m in $mounts; do
        umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true
    done
    if awk -v w="$work" 'index($5, w "/") == 1 { found = 1 } END { exit !found }' /proc/self/mountinfo; then
        say "could not unmount everything below $work" >&2
        return 1
    fi
}

if [ ! -d "$base" ]; then
    command -v debootstrap >/dev/null ||
        { apt-get update -qq || true; DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null; }
    say "making the base system from $mirror"
    rm -rf --one-file-system "$base.tmp"
    debootstrap --include=git,make,ca-certificates trixie "$base.tmp" "$mirror" >"$ci/debootstrap.log" 2>&1 ||
        { tail -n 20 "$ci/debootstrap.log" >&2; exit 1; }
    mv "$base.tmp" "$base"
fi

# A fresh copy of the base, whatever the last run left.
release_work
rm -rf --one-file-system "$work"
cp -a "$base" "$work"
trap 'release_work' EXIT
trap 'exit 143' TERM INT HUP
mount -t proc proc "$work/proc"
mount --rbind /sys "$work/sys" && mount --make-rslave "$work/sys"
mount --rbind /dev "$work/dev" && mount --make-rslave "$work/dev"
mountpoint -q "$work/dev/pts" || mount -t devpts devpts "$work/dev/pts"
mountpoint -q "$work/dev/shm" || mount -t tmpfs shm "$work/dev/shm"
mount --bind "$cache" "$work/var/cache/apt/archives"
cp /etc/resolv.conf "$work/etc/resolv.conf"

in_root() {  # in_root COMMAND: runs COMMAND with bash in the new system, as root, in a clean environment
    chroot "$work" /usr/bin/env -i HOME=/root USER=root LOGNAME=root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$1"
}

# The system as an ordinary user's: the release, its updates and security
# fixes; gawk, which takes over awk; and a source that cannot be reached.
security=${mirror%/debian}/debian-security
cat >"$work/etc/apt/sources.list" <<EOF
deb $mirror trixie main
deb $mirror trixie-updates main
deb $security trixie-security main
EOF
say "installing gawk"
in_root 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq gawk >/dev/null'
echo 'deb http://127.0.0.1:9/debian trixie main' >"$work/etc/apt/sources.list.d/unreachable.list"

git clone -q --no-checkout "$repo" "$work/root/zorvane"
git -C "$work/root/zorvane" checkout -q --detach "$commit"
chmod 0700 "$work/root"

say "make test of $(git -C "$repo" log -1 --format='%h %s' "$commit")"
start=$(date +%s)
status=0
in_root 'cd /root/zorvane && make test' || status=$?
say "make test ended with status $status after $(( $(date +%s) - start )) s"
exit "$status"
