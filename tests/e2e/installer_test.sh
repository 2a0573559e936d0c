#!/usr/bin/env bash
# The Windows installer and portable zip as a user and a package manager
# meet them: built twice from different folders at different times they are
# the same bytes; the zip holds the two builds, README and licence; and in a
# 64-bit and a 32-bit Wine prefix of their own, a silent install puts the
# right build in System32 with its installed-programs entry, the installed
# saver draws and ends on a key, /ACTIVATE (and only it) makes it the current
# saver, a reinstall replaces the installed files, and a silent uninstall
# leaves no file, no key and no current saver pointing at it.
# Usage: installer_test.sh INSTALLER_SH VERSION SCR32 SCR64 HARNESS STATE ARTIFACTS PROBE32 PROBE64
installer=$1 version=$2 scr32=$3 scr64=$4 harness=$5 base=$6 artifacts=$7 probe32=$8 probe64=$9
mkdir -p "$artifacts"
# The installer's stub is a 32-bit program: where 32-bit programs cannot
# run, only the files themselves are checked.
runs_i386=1
"$(dirname "$installer")/runs-i386.sh" || runs_i386=0
trap '"$harness" stop "$base/win64"; "$harness" stop "$base/win32"' EXIT
if [ "$runs_i386" = 1 ]; then
    "$harness" start "$base/win64" >/dev/null || exit 1
    WINEARCH=win32 "$harness" start "$base/win32" >/dev/null || exit 1
fi
set -- "" "" "$harness" "$base/win64" "$artifacts"
source "$(dirname "$0")/e2e_lib.sh"

# Two builds: the second from copies of the saver with other file times, in
# other folders, from another working folder, in a later second.
tmp=$(mktemp -d "$artifacts/build.XXXXXX")
"$installer" "$tmp/a" "$scr32" "$scr64" >/dev/null || exit 1
mkdir -p "$tmp/in" "$tmp/b/out"
cp "$scr32" "$tmp/in/x86.scr"
cp "$scr64" "$tmp/in/x64.scr"
touch -d 2001-02-03 "$tmp/in/x86.scr" "$tmp/in/x64.scr"
started=$(date +%s)
later() { [ "$(date +%s)" != "$started" ]; }
wait_for 2 later
(cd "$tmp/b" && "$installer" out "$tmp/in/x86.scr" "$tmp/in/x64.scr" >/dev/null) || exit 1
setup=$tmp/a/zorvane-$version-setup.exe zip=$tmp/a/zorvane-$version-windows.zip
check "installer named for version $version, same bytes twice" cmp "$setup" "$tmp/b/out/${setup##*/}"
check "zip named for version $version, same bytes twice" cmp "$zip" "$tmp/b/out/${zip##*/}"
echo "installer $(stat -c %s "$setup") bytes, zip $(stat -c %s "$zip") bytes"
check "zip members in order" test "$(unzip -Z1 "$zip" | tr '\n' ' ')" = "x64/zorvane.scr x86/zorvane.scr README.txt LICENSE.txt "
check "zip: x64 holds the 64-bit build" cmp -s <(unzip -p "$zip" x64/zorvane.scr) "$scr64"
check "zip: x86 holds the 32-bit build" cmp -s <(unzip -p "$zip" x86/zorvane.scr) "$scr32"

uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zorvane'
desktop='HKCU\Control Panel\Desktop'
# The 64-bit view of the registry, where the installer writes on 64-bit Windows.
key_present() { wine reg query "$1" /reg:64 >/dev/null 2>&1; }
value() {  # value KEY NAME: the value's data, or "missing"
    wine reg query "$1" /v "$2" /reg:64 2>/dev/null | tr -d '\r' |
        awk -v n="$2" '$1 == n { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print; found = 1 }
                       END { if (!found) print "missing" }'
}
key_absent() { ! key_present "$1"; }
no_file() { [ ! -e "$1" ]; }

# One Windows: BITS is 64 or 32; LAUNCH starts a program from System32 as
# the system would (the wine launcher is 32-bit and would be redirected).
installer_round() {  # installer_round BITS MACHINE SCR LAUNCH PROBE
    local bits=$1 machine=$2 scr=$3 launch=$4 probe=$5
    local sys=$WINEPREFIX/drive_c/windows/system32 dir="$WINEPREFIX/drive_c/Program Files/Zorvane"
    local other='C:\windows\system32\other.scr' installed='C:\windows\system32\zorvane.scr'
    # What an earlier run may have left; another saver is the current one.
    rm -rf "$sys/zorvane.scr" "$dir"
    wine reg delete "$uninstall_key" /reg:64 /f >/dev/null 2>&1
    wine reg add "$desktop" /v SCRNSAVE.EXE /d "$other" /f >/dev/null 2>&1
    # The settings this user chose, which no install or uninstall touches.
    wine reg add 'HKCU\Software\Glimra\Zorv' /v NumberPoints /t REG_DWORD /d 4321 /f >/dev/null 2>&1

    # timeout: a dialog in silent mode would wait for an answer.
    check "$bits: silent install ends with 0" timeout 120 wine "$setup" /S
    check "$bits: System32 holds the $bits-bit build" test "$(pe_machine "$sys/zorvane.scr")" = "$machine"
    check "$bits: plain /S keeps the current saver" test "$(value "$desktop" SCRNSAVE.EXE)" = "$other"
    check "$bits: installed-programs key" key_present "$uninstall_key"
    for v in DisplayName DisplayIcon UninstallString; do
        check "$bits: $v is set" test "$(value "$uninstall_key" $v)" != missing
    done
    check "$bits: DisplayVersion $version" test "$(value "$uninstall_key" DisplayVersion)" = "$version"
    check "$bits: Publisher" test "$(value "$uninstall_key" Publisher)" = "Zorvane developers"
    local size
    size=$(value "$uninstall_key" EstimatedSize)
    check "$bits: EstimatedSize covers the saver" test "$(( size ))" -ge "$(( $(stat -c %s "$scr") / 1024 ))"

    # The installed saver, started from System32 (where it can animate).
    if fullscreen_timers "$probe"; then
        "$launch" 'C:\windows\system32\zorvane.scr' /s >/dev/null 2>&1 &
        saver_pid=$!
        check "$bits: installed saver draws" wait_for_pixels 15 "$artifacts/installed-$bits.png"
        local w
        w=$(saver_x_window)
        send_key "$w" a
        check "$bits: a key ends it with 0" exited 10 0
    else
        echo "SKIP (a fault of $(wine --version)): the installed $bits-bit saver's run: a full-screen window's timers never fire in a $bits-bit program here"
    fi

    # Upgrade over an installation whose saver has changed since.
    printf 'older' >"$sys/zorvane.scr"
    check "$bits: reinstall with /ACTIVATE ends with 0" timeout 120 wine "$setup" /S /ACTIVATE
    check "$bits: reinstall replaces the saver" cmp -s "$sys/zorvane.scr" "$scr"
    check "$bits: /ACTIVATE makes it the current saver" test "$(value "$desktop" SCRNSAVE.EXE)" = "$installed"
    check "$bits: /ACTIVATE turns the saver on" test "$(value "$desktop" ScreenSaveActive)" = 1

    # Uninstall the way a package manager does, from QuietUninstallString:
    # "PATH" /S. The uninstaller runs on from a copy; its folder goes last.
    local quiet path
    quiet=$(value "$uninstall_key" QuietUninstallString)
    path=${quiet#\"} path=${path%%\"*}
    check "$bits: QuietUninstallString is the uninstaller with /S" test "$quiet" = "\"$path\" /S"
    check "$bits: the uninstaller is in its folder" test -f "$dir/uninstall.exe"
    check "$bits: silent uninstall ends with 0" timeout 60 wine "$path" ${quiet#\"$path\"}
    check "$bits: uninstall removes its folder" wait_for 60 no_file "$dir"
    check "$bits: uninstall removes the saver" no_file "$sys/zorvane.scr"
    check "$bits: uninstall removes the installed-programs key" key_absent "$uninstall_key"
    check "$bits: uninstall resets SCRNSAVE.EXE" test "$(value "$desktop" SCRNSAVE.EXE)" = missing
    check "$bits: the user's settings stay" test "$(value 'HKCU\Software\Glimra\Zorv' NumberPoints)" = 0x10e1
}

if [ "$runs_i386" = 0 ]; then
    echo "SKIP: installing and uninstalling: the installer is a 32-bit program, and this machine cannot run 32-bit x86 programs"
    rm -rf "$tmp"
    finish_e2e
fi
installer_round 64 8664 "$scr64" /usr/lib/wine/wine64 "$probe64"
eval "$("$harness" env "$base/win32")"
installer_round 32 014c "$scr32" wine "$probe32"

rm -rf "$tmp"
finish_e2e
