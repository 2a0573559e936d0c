#!/usr/bin/env bash
# release.sh - the files that ship, in build/release/ (make release):
#
#   zorvane_<version>_amd64.deb        the Debian package
#   zorvane-<version>-setup.exe        the Windows installer
#   zorvane-<version>-windows.zip      the Windows savers, portable
#   zorvane-<version>-web.html         the saver as one web page
#   zorvane-<version>.tar.gz           the source (git archive of HEAD)
#   SHA256SUMS
#
# Every file's bytes depend on the source tree alone: the builds are
# Release builds in build/ship-<preset> (stripped, paths relative to the
# source tree, no link times), and every time that is written (archive
# members, gzip headers, installer data) is SOURCE_DATE_EPOCH, the last
# commit's time unless set. scripts/repro.sh checks it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh release

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export TZ=UTC LC_ALL=C
umask 022
version=$(sed -n 's/^project(Zorvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release: the work tree has changes that are not committed; the source tarball holds HEAD only" >&2
fi

out=build/release
rm -rf "$out"
mkdir -p "$out"

build() {  # build PRESET TARGET...: a Release build of the targets in build/ship-PRESET
    local preset=$1 flags=()
    shift
    [ "$preset" = native ] && flags=(-DZORVANE_WAYLAND_REQUIRED=ON)  # the package carries the Wayland saver
    echo "== $preset: ${*}"
    cmake --preset "$preset" -B "build/ship-$preset" -DCMAKE_BUILD_TYPE=Release "${flags[@]}" >/dev/null
    cmake --build "build/ship-$preset" --target "$@" >/dev/null
}
build native zorvane zorvane-render zorvane_package_texts
build win32 zorvane_saver
build win64 zorvane_saver

echo "== the Debian package"
rm -rf build/ship-native/package
(cd build/ship-native && cpack -G DEB -B package >/dev/null)
mv build/ship-native/package/zorvane_"$version"_amd64.deb "$out/"

echo "== the Windows installer and zip"
scripts/installer.sh "$out" build/ship-win32/zorvane.scr build/ship-win64/zorvane.scr

echo "== the web page"
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
cp build/web/zorvane.html "$out/zorvane-$version-web.html"

echo "== the source"
git archive --format=tar.gz --prefix="zorvane-$version/" -o "$out/zorvane-$version.tar.gz" HEAD

(cd "$out" && sha256sum -- * >SHA256SUMS)
echo
ls -l "$out"
cat "$out/SHA256SUMS"
