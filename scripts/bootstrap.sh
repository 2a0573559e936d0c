#!/usr/bin/env bash
# bootstrap.sh - installs what Zorvane needs from Debian's archive, only
# what is missing, without prompts. Works as root or through sudo (which
# asks for a password when a terminal is attached, and must not need one
# otherwise). Debian 12 and Debian 13 alike.
#
#   scripts/bootstrap.sh [PROFILE]              install what PROFILE needs
#   scripts/bootstrap.sh [PROFILE] --path DIR   also make DIR: one link per
#                                               program of PROFILE (the tests' PATH)
#
# PROFILE is what the Makefile target of that name needs, default test:
#   run        build and run the X11 saver: compiler, CMake, Ninja, Xlib,
#              libpng, zlib, and the test libraries the native configure
#              looks for (GoogleTest, Google Benchmark, MPFR)
#   run-wine   build the Windows saver and run it under Wine (adds the
#              i386 architecture for 32-bit Wine)
#   web        build the web page (Emscripten, Node.js)
#   deb        run's, and the Debian packaging tools
#   release    run's, deb's, web's, MinGW-w64, NSIS and zip
#   test       everything the tests call (all of the above, Wine, Xvfb,
#              Chromium, clang, ImageMagick, XScreenSaver, lintian, sway,
#              weston, GNOME Shell, ...) and the Wayland client's build packages
#
# Every program that a script or test calls is in the table, with the
# package that installs it when it is missing. The program itself may come
# from any Debian package (gawk's awk, through the alternatives system, is
# as good as mawk's). make test runs the tests with the PATH that --path
# makes, so a program missing from the table is "command not found" there,
# and the test that calls it fails on every machine.
set -euo pipefail

# What each profile needs, as tags of the table below.
declare -A profile_tags=(
    [run]="build native"
    [run-wine]="build win wine"
    [web]="build web"
    [deb]="build native deb"
    [release]="build native win web deb installer"
    [test]="build native win wine web deb installer test"
)

# One line per program a script or test calls: PROGRAM PACKAGE TAG.
# PACKAGE may be A|B: the first name the running release has (Debian 12
# has ImageMagick 6, Debian 13 ImageMagick 7). TAG is the smallest profile
# part that needs it: build (every profile), native (the Linux build),
# win (MinGW-w64), wine, web, deb (packaging), installer, test (only the
# tests).
programs=(
    # the shell and its basic tools
    "bash bash build" "sh dash build" "env coreutils build" "cat coreutils build" "cp coreutils build"
    "mv coreutils build" "rm coreutils build" "ln coreutils build" "ls coreutils build" "mkdir coreutils build"
    "rmdir coreutils build"
    "mktemp coreutils build" "chmod coreutils build" "chown coreutils build" "touch coreutils build"
    "date coreutils build" "sleep coreutils build" "seq coreutils build" "head coreutils build"
    "tail coreutils build" "tee coreutils build" "tr coreutils build" "wc coreutils build"
    "sort coreutils build" "uniq coreutils build" "cut coreutils build" "od coreutils build"
    "dirname coreutils build" "basename coreutils build" "id coreutils build" "stat coreutils build"
    "du coreutils build" "realpath coreutils build" "readlink coreutils build" "sha256sum coreutils build"
    "md5sum coreutils build" "timeout coreutils build" "printf coreutils build" "true coreutils build"
    "false coreutils build" "test coreutils build" "nproc coreutils build" "getconf libc-bin build"
    "grep grep build" "sed sed build" "awk mawk build" "find findutils build" "xargs findutils build"
    "cmp diffutils build" "diff diffutils build" "gzip gzip build" "tar tar build"
    "setsid util-linux build" "runuser util-linux build" "pgrep procps build" "pkill procps build"
    "ps procps build" "kill procps build" "git git build" "make make build" "time time test"
    # building and packaging
    "cmake cmake build" "ctest cmake build" "cpack cmake build" "ninja ninja-build build"
    "dpkg dpkg build" "dpkg-deb dpkg build" "dpkg-query dpkg build"
    "dpkg-shlibdeps dpkg-dev deb" "dpkg-architecture dpkg-dev deb" "dpkg-buildflags dpkg-dev deb"
    "objdump binutils native" "strip binutils native" "ar binutils native" "nm binutils test" "readelf binutils test"
    "strings binutils test" "file file deb" "gunzip gzip build" "xz xz-utils test" "bzip2 bzip2 test"
    "man man-db test" "lexgrog man-db test" "preconv groff-base test" "tbl groff-base test"
    "eqn groff-base test" "nroff groff-base test" "groff groff-base test" "troff groff-base test"
    "grotty groff-base test" "lintian lintian test" "makensis nsis installer" "zip zip installer"
    "unzip unzip test"
    # Windows programs and the virtual display they draw on
    "wine wine wine" "wine-stable wine wine" "wineserver libwine wine" "wineboot wine wine"
    "winepath wine wine" "Xvfb xvfb test" "Xephyr xserver-xephyr test" "xdotool xdotool test" "xwd x11-apps test"
    "xwininfo x11-utils test" "xprop x11-utils test" "xrandr x11-xserver-utils test"
    "xset x11-xserver-utils test" "xsetroot x11-xserver-utils test"
    "import imagemagick-7.q16|imagemagick-6.q16 test" "convert imagemagick-7.q16|imagemagick-6.q16 test"
    "compare imagemagick-7.q16|imagemagick-6.q16 test" "identify imagemagick-7.q16|imagemagick-6.q16 test"
    "xmllint libxml2-utils test" "valgrind valgrind test" "valgrind.bin valgrind test"
    "xscreensaver xscreensaver test" "xscreensaver-command xscreensaver test"
    "xscreensaver-settings xscreensaver test"
    # the web page and the browser its tests drive
    "emcc emscripten web" "node nodejs web" "chromium chromium test"
    # the Wayland compositors the tests run headless as a user, and their clients
    "sway sway test" "swaymsg sway test" "grim grim test" "wtype wtype test" "weston weston test"
    "weston-screenshooter weston test" "weston-flower weston test" "swayidle swayidle test"
    "swaybg swaybg test"
    "setpriv util-linux test" "install coreutils test" "mkfifo coreutils test" "pkg-config pkgconf native"
    "wayland-scanner libwayland-bin native" "desktop-file-validate desktop-file-utils test"
    # GNOME Shell headless, its buses and the settings it reads at start-up
    "gnome-shell gnome-shell test" "dbus-daemon dbus-daemon test" "gdbus libglib2.0-bin test"
    "gsettings libglib2.0-bin test" "kwin_wayland kwin-wayland test"
)

# Packages that no script calls by name (compilers, libraries, fonts):
# PACKAGE TAG.
packages=(
    "g++ native" "libgtest-dev native" "libbenchmark-dev native" "libpng-dev native"
    "zlib1g-dev native" "libmpfr-dev native" "libx11-dev native" "libxext-dev native"
    "libxres-dev native" "libxrandr-dev native" "libxinerama-dev native"
    "googletest win" "g++-mingw-w64-i686 win" "g++-mingw-w64-x86-64 win" "libz-mingw-w64-dev win"
    "wine64 wine" "wine32:i386 wine" "fonts-wine wine"
    "clang test" "libclang-rt-dev test" "imagemagick test"
    "libwayland-dev native" "wayland-protocols native" "plasma-wayland-protocols native"
    "libsystemd-dev native" "dconf-gsettings-backend test" "dconf-service test"
)

use_profile() {  # use_profile PROFILE
    profile=$1
    [ -n "${profile_tags[$profile]:-}" ] || { echo "bootstrap: unknown profile '$profile' (${!profile_tags[*]})" >&2; exit 2; }
    tags=" ${profile_tags[$profile]} "
}
wanted() { [[ $tags == *" $1 "* ]]; }  # wanted TAG

# found[PROGRAM]: the system's PROGRAM (in /usr/bin, /usr/sbin, /bin or
# /sbin) when the file it leads to, through links and the alternatives
# system, belongs to a Debian package. A program of the same name elsewhere
# (/usr/local/bin, a home folder) does not count.
declare -A found
find_programs() {
    local entry program package tag dir file real
    declare -A first=()
    found=()
    for entry in "${programs[@]}"; do
        read -r program package tag <<<"$entry"
        wanted "$tag" || continue
        for dir in /usr/bin /usr/sbin /bin /sbin; do
            [ -x "$dir/$program" ] || continue
            first[$program]=$dir/$program
            break
        done
    done
    [ ${#first[@]} -eq 0 ] && return 0
    declare -A owner_of=()
    local names=("${!first[@]}") reals i
    mapfile -t reals < <(for program in "${names[@]}"; do echo "${first[$program]}"; done | xargs -d '\n' readlink -f)
    for i in "${!names[@]}"; do
        program=${names[$i]} real=${reals[$i]}
        owner_of[$real]+=" $program"
        # Debian 12 lists /bin/X where the merged /usr has /usr/bin/X.
        [ "$real" = "${real#/usr}" ] || owner_of[${real#/usr}]+=" $program"
    done
    while IFS= read -r file; do
        for program in ${owner_of[$file]}; do found[$program]=${first[$program]}; done
    done < <(cat /var/lib/dpkg/info/*.list | grep -Fx -f <(printf '%s\n' "${!owner_of[@]}") | sort -u)
}

make_path() {  # make_path DIR
    local dir=$1 entry program package tag file fails=0
    find_programs
    rm -rf "$dir"
    mkdir -p "$dir"
    for entry in "${programs[@]}"; do
        read -r program package tag <<<"$entry"
        wanted "$tag" || continue
        file=${found[$program]:-}
        if [ -z "$file" ]; then
            echo "bootstrap: no Debian package installed $program (it comes with ${package//|/ or })" >&2
            fails=1
            continue
        fi
        ln -s "$file" "$dir/$program"
    done
    return $fails
}

installed() {  # installed PACKAGE: any architecture's copy is there
    dpkg-query -W -f='${Status}\n' "$1" 2>/dev/null | grep -qx "install ok installed"
}

# The first of the names A|B|... that the package lists know.
candidate() {  # candidate A|B...
    local name
    for name in ${1//|/ }; do
        apt-cache show --no-all-versions "$name" >/dev/null 2>&1 && { echo "$name"; return; }
    done
}

# apt-get update, tried three times while any source fails; then the
# sources that still fail are named and set-up goes on with the lists it
# has: only an install that fails stops it.
update_lists() {
    local try out failed=
    for try in 1 2 3; do
        out=$("${sudo[@]}" apt-get -o DPkg::Lock::Timeout=300 update 2>&1) || true
        failed=$(grep -E '^(Err:|[WE]: Failed to fetch)' <<<"$out" | grep -oE '(https?|ftp|file|cdrom|mirror\+[a-z]+)://[^ ]+' | sort -u || true)
        if [ -z "$failed" ] && ! grep -q '^E:' <<<"$out"; then
            return 0
        fi
        [ "$try" -lt 3 ] && sleep $((try * 5))
    done
    echo "bootstrap: warning: apt-get update failed three times for some sources; going on with the package lists there are:" >&2
    if [ -n "$failed" ]; then
        sed 's/^/  /' <<<"$failed" >&2
    else
        grep -E '^[WE]:' <<<"$out" | sed 's/^/  /' >&2
    fi
}

apt_install() {  # apt_install LOG PACKAGE...
    local log=$1
    shift
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 install -y -q \
        --no-install-recommends "$@" >"$log" 2>&1
}

# Why an install failed, in words that say what to do next. The packages
# that can be installed are, so that a second run has less to do.
explain_failure() {  # explain_failure LOG PACKAGE...
    local log=$1 p bad=() good=()
    shift
    for p in "$@"; do
        if "${sudo[@]}" apt-get install -s -qq "$p" >/dev/null 2>&1; then good+=("$p"); else bad+=("$p"); fi
    done
    echo "bootstrap: the install failed. apt said:" >&2
    grep -E '^(E:| .*(Depends|Breaks|Conflicts):)' "$log" | head -n 20 | sed 's/^/  /' >&2
    if [ ${#bad[@]} -gt 0 ]; then
        echo "bootstrap: these cannot be installed: ${bad[*]}" >&2
        if [ ${#good[@]} -gt 0 ]; then
            echo "bootstrap: installing the others: ${good[*]}" >&2
            apt_install "$log.rest" "${good[@]}" || echo "bootstrap: ... which failed too" >&2
            rm -f "$log.rest"
        fi
    fi
    if grep -qE 'held broken packages|unmet dependencies|but it is not (going to be )?installable|but [^ ]+ is to be installed' "$log"; then
        cat >&2 <<'EOF'
bootstrap: the package lists disagree: most often a mirror in the middle of a
  sync, so that the i386 and amd64 versions of a library (or the security
  and main archives) differ. Wait a while, or run 'apt-get update' again,
  then run this again. A source that failed above may be the cause.
EOF
    elif grep -qE 'Unable to locate package|has no installation candidate' "$log"; then
        echo "bootstrap: a package is in none of the sources: check that /etc/apt/sources.list names Debian's main archive, then run 'apt-get update' and this again" >&2
    elif grep -qE 'Could not get lock|Unable to acquire the dpkg frontend lock' "$log"; then
        echo "bootstrap: another program is installing packages; run this again when it has finished" >&2
    elif grep -qE 'Failed to fetch|Temporary failure resolving|Could not resolve' "$log"; then
        echo "bootstrap: packages could not be downloaded: check the network and the mirror, then run this again" >&2
    fi
}

install_or_explain() {  # install_or_explain PACKAGE...: installs them, or says why not and fails
    local log status=0
    log=$(mktemp)
    apt_install "$log" "$@" || { explain_failure "$log" "$@"; status=1; }
    rm -f "$log"
    return $status
}

runs_i386() { "$(dirname "${BASH_SOURCE[0]}")/runs-i386.sh" "$@"; }  # 32-bit x86 programs run here (--how: how)

use_sudo() {  # sets sudo: nothing as root, else sudo (-n without a terminal); fails without either
    if [ "$(id -u)" -eq 0 ]; then
        sudo=()
    elif command -v sudo >/dev/null 2>&1; then
        if [ -t 0 ]; then sudo=(sudo); else sudo=(sudo -n); fi
    else
        echo "bootstrap: need root or sudo to $1" >&2
        return 1
    fi
}

# Where the kernel refuses 32-bit x86 programs, Debian's qemu-i386 runs them
# (user-mode emulation): registered with the kernel's binfmt_misc by the
# line Debian's qemu-user ships for it (its qemu-user-binfmt registers every
# architecture but the host's own). Debian 12's qemu 7.2 is far too slow for
# Wine (a prefix takes 16 minutes), so there qemu-user 10 comes from
# bookworm-backports, a source added for it alone: apt takes nothing from
# backports unless asked by name. The registration lasts until the machine
# restarts, and make test's set-up renews it. ZORVANE_I386=emulated
# registers it where the kernel runs 32-bit programs too (binfmt_misc comes
# first), to try this way on such a machine; "echo -1 >
# /proc/sys/fs/binfmt_misc/qemu-i386" removes it.
qemu_i386_conf=/usr/share/qemu/binfmt.d/qemu-i386.conf
binfmt_misc=/proc/sys/fs/binfmt_misc
i386_emulation() {
    local codename package=qemu-user site
    use_sudo "run 32-bit x86 programs under emulation" || return 1
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    if ! dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null)" ge 1:9.1; then
        if [ "$codename" = bookworm ]; then
            package=qemu-user/bookworm-backports
            if ! apt-get indextargets --format '$(RELEASE)' | grep -qx bookworm-backports; then
                site=$(apt-get indextargets --format '$(SITE) $(RELEASE)' | awk '$2 == "bookworm" { print $1; exit }')
                site=${site:-http://deb.debian.org/debian}
                echo "bootstrap: adding bookworm-backports ($site) to apt's sources, for qemu-user alone"
                printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: %s\n' \
                    "$site" /usr/share/keyrings/debian-archive-keyring.gpg |
                    "${sudo[@]}" tee /etc/apt/sources.list.d/zorvane-bookworm-backports.sources >/dev/null || return 1
            fi
        fi
        echo "bootstrap: installing $package, to run 32-bit x86 programs under emulation"
        update_lists
        install_or_explain "$package" || return 1
    fi
    [ -e "$binfmt_misc/register" ] || "${sudo[@]}" mount -t binfmt_misc binfmt_misc "$binfmt_misc" || return 1
    # One that is there but does not work (its program gone) makes way.
    [ ! -e "$binfmt_misc/qemu-i386" ] || echo -1 | "${sudo[@]}" tee "$binfmt_misc/qemu-i386" >/dev/null
    "${sudo[@]}" tee "$binfmt_misc/register" <"$qemu_i386_conf" >/dev/null || return 1
    echo "bootstrap: registered with binfmt_misc (until the machine restarts): $(cat "$qemu_i386_conf")"
    echo "bootstrap: 32-bit x86 programs: $(runs_i386 --how)"
    runs_i386
}

install_missing() {
    local missing=() groups=() entry program package tag name i386=yes
    find_programs
    for entry in "${programs[@]}"; do
        read -r program package tag <<<"$entry"
        wanted "$tag" || continue
        [ -n "${found[$program]:-}" ] || groups+=("$package")
    done
    # 32-bit Wine needs 32-bit programs to run: natively, else emulated.
    if wanted wine; then
        if [ "${ZORVANE_I386:-}" = emulated ]; then
            [[ $(runs_i386 --how) == emulated* ]] || i386_emulation || i386=no
        elif ! runs_i386; then
            i386_emulation || i386=no
        fi
    fi
    for entry in "${packages[@]}"; do
        read -r package tag <<<"$entry"
        wanted "$tag" || continue
        if [[ $package == *:i386 ]] && [ "$i386" = no ]; then
            echo "bootstrap: this machine cannot run 32-bit x86 programs (its kernel refuses them, and emulating" \
                "them failed), so $package is not installed; the 32-bit Windows saver is built, and its tests" \
                "under Wine are skipped" >&2
            continue
        fi
        installed "$package" || groups+=("$package")
    done
    [ ${#groups[@]} -eq 0 ] && return 0
    mapfile -t groups < <(printf '%s\n' "${groups[@]}" | sort -u)
    use_sudo "install ${groups[*]}" || exit 1
    # 32-bit Wine needs the i386 architecture: only the profiles with Wine add it.
    if printf '%s\n' "${groups[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
    fi
    echo "bootstrap ($profile): updating the package lists"
    update_lists
    for package in "${groups[@]}"; do
        name=$(candidate "$package")
        if [ -z "$name" ]; then
            echo "bootstrap: no source offers ${package//|/ or }: check that /etc/apt/sources.list names Debian's main archive, and that 'apt-get update' succeeds" >&2
            exit 1
        fi
        missing+=("$name")
    done
    echo "bootstrap ($profile): installing ${missing[*]}"
    install_or_explain "${missing[@]}" || exit 1
    echo "bootstrap ($profile): done"
}

# (tests/setup sources this file for its functions)
[ "${BASH_SOURCE[0]}" = "$0" ] || return 0
if [ $# -gt 0 ] && [ "$1" != --path ]; then
    use_profile "$1"
    shift
else
    use_profile test
fi
install_missing
if [ "${1:-}" = --path ]; then
    make_path "${2:?usage: bootstrap.sh [PROFILE] --path DIR}"
fi
