#!/usr/bin/env bash
# bootstrap.sh - installs what Zorvane needs from Debian's archive, only
# what is missing, without prompts. Works as root or through sudo (which
# asks for a password when a terminal is attached, and must not need one
# otherwise).
set -euo pipefail

packages=(
    g++ cmake ninja-build make
    googletest libgtest-dev libbenchmark-dev libpng-dev
    libx11-dev libxext-dev libxres-dev
    clang libclang-rt-dev valgrind
    g++-mingw-w64-i686 g++-mingw-w64-x86-64
    wine wine64 wine32:i386 fonts-wine
    xvfb xdotool imagemagick x11-utils libxml2-utils
    xscreensaver dpkg-dev
)

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null 2>&1; then
    if [ -t 0 ]; then sudo=(sudo); else sudo=(sudo -n); fi
else
    echo "bootstrap: need root or sudo to install packages" >&2
    exit 1
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "bootstrap: installing ${missing[*]}"
# 32-bit Wine needs the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "bootstrap: done"
