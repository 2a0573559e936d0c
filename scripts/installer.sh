#!/usr/bin/env bash
# installer.sh - builds the Windows release files from the two Windows
# builds of the saver:
#   OUTDIR/zorvane-<version>-setup.exe    the installer (makensis, resources/setup.nsi)
#   OUTDIR/zorvane-<version>-windows.zip  x64/ and x86/zorvane.scr, README.txt, LICENSE.txt
#
#   scripts/installer.sh OUTDIR [SCR32 SCR64]
#
# SCR32 and SCR64 default to build/win32/zorvane.scr and build/win64/zorvane.scr.
# Both files are the same bytes for the same inputs, in any folder and at any
# time: no file times in the installer, and the zip's members dated
# SOURCE_DATE_EPOCH (default: the time of the last commit).
# Programs: makensis (nsis), zip (zip), git (git), coreutils, sed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?usage: installer.sh OUTDIR [SCR32 SCR64]}
scr32=${2:-$root/build/win32/zorvane.scr}
scr64=${3:-$root/build/win64/zorvane.scr}
for f in "$scr32" "$scr64"; do
    [ -f "$f" ] || { echo "installer.sh: $f is missing (build the win32 and win64 presets first)" >&2; exit 1; }
done
mkdir -p "$out"
out=$(cd "$out" && pwd)

version=$(sed -n 's/^project(Zorvane VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "installer.sh: no version in CMakeLists.txt" >&2; exit 1; }
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/x64" "$stage/x86"
cp "$scr64" "$stage/x64/zorvane.scr"
cp "$scr32" "$stage/x86/zorvane.scr"
cp "$root/resources/setup.nsi" "$stage/"
sed 's/$/\r/' "$root/resources/portable-readme.txt" >"$stage/README.txt"
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"

setup=zorvane-$version-setup.exe
(cd "$stage" && makensis -V2 -NOCD -DVERSION="$version" -DOUTFILE="$setup" setup.nsi >/dev/null)
mv "$stage/$setup" "$out/$setup"

# The zip: fixed member order, fixed times and modes, no extra fields
# (-X), no folder entries (-D). DOS times are local: dated in UTC.
zipname=zorvane-$version-windows.zip
members="x64/zorvane.scr x86/zorvane.scr README.txt LICENSE.txt"
(
    cd "$stage"
    chmod 644 $members
    TZ=UTC touch -d "@$SOURCE_DATE_EPOCH" $members
    TZ=UTC zip -q -X -D -9 "$zipname" $members
)
mv "$stage/$zipname" "$out/$zipname"
echo "$out/$setup"
echo "$out/$zipname"
