#!/usr/bin/env bash
# bootstrap.sh - installs what Zorvane needs from Debian's archive, only
# what is missing, without prompts. Works as root or through sudo (which
# asks for a password when a terminal is attached, and must not need one
# otherwise).
#
#   scripts/bootstrap.sh              install what is missing
#   scripts/bootstrap.sh --path DIR   also make DIR: one link per program of
#                                     the table below, to the file its
#                                     package installed (the tests' PATH)
#
# Every program that a script or test calls is in the table, with the
# package it comes from. make test runs the tests with the PATH that
# --path makes, so a program missing from the table is "command not
# found" there, and the test that calls it fails on every machine.
set -euo pipefail

# program package
programs=(
    # the shell and its basic tools
    "bash bash" "sh dash" "env coreutils" "cat coreutils" "cp coreutils" "mv coreutils" "rm coreutils"
    "ln coreutils" "ls coreutils" "mkdir coreutils" "mktemp coreutils" "chmod coreutils" "chown coreutils"
    "touch coreutils" "date coreutils" "sleep coreutils" "seq coreutils" "head coreutils" "tail coreutils"
    "tee coreutils" "tr coreutils" "wc coreutils" "sort coreutils" "uniq coreutils" "cut coreutils"
    "od coreutils" "dirname coreutils" "basename coreutils" "id coreutils" "stat coreutils" "du coreutils"
    "realpath coreutils" "readlink coreutils" "sha256sum coreutils" "md5sum coreutils" "timeout coreutils"
    "printf coreutils" "true coreutils" "false coreutils" "test coreutils" "nproc coreutils" "getconf libc-bin"
    "grep grep" "sed sed" "awk mawk" "find findutils" "xargs findutils" "cmp diffutils" "diff diffutils"
    "gzip gzip" "tar tar" "setsid util-linux" "runuser util-linux" "pgrep procps" "pkill procps" "ps procps"
    "kill procps" "git git" "make make" "time time"
    # building and packaging
    "cmake cmake" "ctest cmake" "cpack cmake" "ninja ninja-build" "dpkg dpkg" "dpkg-deb dpkg"
    "dpkg-query dpkg" "dpkg-shlibdeps dpkg-dev" "dpkg-architecture dpkg-dev" "dpkg-buildflags dpkg-dev"
    "objdump binutils" "strip binutils" "ar binutils" "readelf binutils" "strings binutils" "file file"
    "gunzip gzip" "xz xz-utils" "bzip2 bzip2" "man man-db" "lexgrog man-db" "preconv groff-base"
    "tbl groff-base" "eqn groff-base" "nroff groff-base" "groff groff-base" "troff groff-base" "grotty groff-base" "lintian lintian" "makensis nsis" "zip zip" "unzip unzip"
    # Windows programs and the virtual display they draw on
    "wine wine" "wine-stable wine" "wineserver libwine" "wineboot wine" "winepath wine"
    "Xvfb xvfb" "xdotool xdotool" "xwd x11-apps" "xwininfo x11-utils" "xprop x11-utils"
    "import imagemagick-6.q16" "convert imagemagick-6.q16" "compare imagemagick-6.q16"
    "identify imagemagick-6.q16" "xmllint libxml2-utils" "valgrind valgrind" "valgrind.bin valgrind"
    "xscreensaver xscreensaver" "xscreensaver-command xscreensaver" "xscreensaver-settings xscreensaver"
    # the web page and the browser its tests drive
    "emcc emscripten" "node nodejs" "chromium chromium"
)

# Packages that no script calls by name: compilers, libraries, fonts.
packages=(
    g++ clang libclang-rt-dev
    googletest libgtest-dev libbenchmark-dev libpng-dev zlib1g-dev libmpfr-dev
    libx11-dev libxext-dev libxres-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
    wine64 wine32:i386 fonts-wine imagemagick
)
for entry in "${programs[@]}"; do
    packages+=("${entry#* }")
done

# The file that PACKAGE installed as PROGRAM in a bin or sbin folder, or
# the system's link of that name when it leads (through the alternatives
# system) to a file of PACKAGE; else nothing. A program of the same name
# from elsewhere on PATH does not count.
package_program() {  # package_program PROGRAM PACKAGE
    local file link owner
    file=$(dpkg-query -L "$2" 2>/dev/null | grep -E "^(/usr)?/s?bin/$1\$" | head -n 1 || true)
    if [ -n "$file" ]; then
        echo "$file"
        return
    fi
    for link in "/usr/bin/$1" "/usr/sbin/$1"; do
        [ -e "$link" ] || continue
        owner=$(dpkg-query -S "$(readlink -f "$link")" 2>/dev/null | cut -d: -f1 || true)
        [ "$owner" = "${2%%:*}" ] && { echo "$link"; return; }
    done
}

make_path() {  # make_path DIR
    local dir=$1 entry program package file
    rm -rf "$dir"
    mkdir -p "$dir"
    for entry in "${programs[@]}"; do
        program=${entry% *} package=${entry#* }
        file=$(package_program "$program" "$package")
        if [ -z "$file" ]; then
            echo "bootstrap: $package does not install $program" >&2
            return 1
        fi
        ln -s "$file" "$dir/$program"
    done
}

install_missing() {
    local sudo missing=() p status
    if [ "$(id -u)" -eq 0 ]; then
        sudo=()
    elif command -v sudo >/dev/null 2>&1; then
        if [ -t 0 ]; then sudo=(sudo); else sudo=(sudo -n); fi
    else
        echo "bootstrap: need root or sudo to install packages" >&2
        exit 1
    fi
    for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
        # (one line per architecture for a package of several)
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -qx "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "bootstrap: installing ${missing[*]}"
    # 32-bit Wine needs the i386 architecture.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
    fi
    "${sudo[@]}" apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    echo "bootstrap: done"
}

install_missing
if [ "${1:-}" = --path ]; then
    make_path "${2:?usage: bootstrap.sh --path DIR}"
fi
