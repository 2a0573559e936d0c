#!/usr/bin/env bash
# deb.sh - builds the Debian package build/zorvane_<version>_amd64.deb from
# the native build: the X11 saver as an XScreenSaver hack, its settings
# file, zorvane-render, zorvane-xscreensaver-add and their manual pages.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh deb
cmake --preset native -DZORVANE_WAYLAND_REQUIRED=ON >/dev/null
cmake --build --preset native
rm -rf build/native/package
# The same commit gives the same bytes: the archive members' modes follow the
# umask, their times SOURCE_DATE_EPOCH (else the commit's, cmake/PackageEpoch.cmake).
umask 022
(cd build/native && cpack -G DEB -B package >/dev/null)
deb=$(ls build/native/package/zorvane_*.deb)
mv "$deb" build/
echo "build/$(basename "$deb")"
