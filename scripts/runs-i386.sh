#!/usr/bin/env bash
# runs-i386.sh - whether and how this machine runs 32-bit x86 programs, as
# Wine's 32-bit loader (and so the 32-bit Windows saver, its tests and the
# installer, whose stub is 32-bit) needs. Some kernels are built or started
# without that: a 32-bit program then fails with "Exec format error",
# unless an emulator is registered for them with binfmt_misc (which
# scripts/bootstrap.sh does there).
#
#   runs-i386.sh           exit 0 when 32-bit programs run here, natively or
#                          through a registered emulator
#   runs-i386.sh --how     the same, and prints how: "native",
#                          "emulated by PROGRAM (VERSION)" or "no (why)"
#   runs-i386.sh --kernel  exit 0 when the kernel itself runs them
#
# It tries the smallest such programs there are: static i386 ELF files whose
# only system calls are read(0) and exit(0). binfmt_misc takes a program
# before the kernel's own loader does, so an emulator registered for i386
# runs 32-bit programs even where the kernel could: which one ran the probe
# is read off /proc/PID/exe while it waits on its input. The --kernel probe
# has a non-zero padding byte in its identification, which the kernel's
# loader ignores and no emulator's pattern lets through.
set -u
mode=${1:-}
dir=$(mktemp -d) || exit 2
trap 'rm -rf "$dir"' EXIT

# elf FILE PAD CODE: a static i386 program at 0x08048000, its code (octal
# escapes) right after the headers, PAD the last identification byte.
elf() {
    local size=$((84 + $(printf "$3" | wc -c)))
    local sz
    sz=$(printf '\\%03o\\%03o' $((size & 255)) $((size >> 8)))
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000'"$2"'\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010'"$sz"'\000\000'"$sz"'\000\000\005\000\000\000\000\020\000\000'"$3" >"$1"
    chmod +x "$1"
}
exit0='\270\001\000\000\000\061\333\315\200'                      # mov eax,1; xor ebx,ebx; int 0x80
read0='\270\003\000\000\000\061\333\211\341\272\001\000\000\000\315\200'  # mov eax,3; xor ebx,ebx; mov ecx,esp; mov edx,1; int 0x80

if [ "$mode" = --kernel ]; then
    elf "$dir/kernel" '\001' "$exit0"
    "$dir/kernel" 2>/dev/null
    exit
fi

elf "$dir/probe" '\000' "$read0$exit0"
mkfifo "$dir/in"
"$dir/probe" <"$dir/in" 2>/dev/null &
pid=$!
exec 3>"$dir/in"
# Until the exec, the child is this shell; a failed exec leaves it one until it ends.
shell=$(readlink /proc/$$/exe) exe=
for _ in $(seq 100); do
    exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || { exe=; break; }
    [ "$exe" != "$shell" ] && break
    sleep 0.1
done
exec 3>&-
wait "$pid"
status=$?
[ "$exe" = "$shell" ] && exe=
if [ "$status" -ne 0 ] || [ -z "$exe" ]; then
    [ "$mode" = --how ] && echo "no (the kernel refuses 32-bit x86 programs, and no emulator is registered for them)"
    exit 1
fi
if [ "$mode" = --how ]; then
    if [ "$exe" = "$(readlink -f "$dir/probe")" ]; then
        echo native
    else
        version=$("$exe" --version 2>/dev/null | head -n 1 | grep -oE '[0-9]+(\.[0-9]+)+' | head -n 1)
        echo "emulated by $exe${version:+ (version $version)}"
    fi
fi
exit 0
