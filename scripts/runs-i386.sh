#!/usr/bin/env bash
# runs-i386.sh - exits 0 when this machine can run 32-bit x86 programs, as
# Wine's 32-bit loader (and so the 32-bit Windows saver, its tests and the
# installer, whose stub is 32-bit) needs. Some kernels are built or started
# without that: a 32-bit program then fails with "Exec format error".
#
# It tries the smallest such program there is: a static i386 ELF of 93
# bytes whose one system call is exit(0).
set -u
dir=$(mktemp -d) || exit 2
trap 'rm -rf "$dir"' EXIT
printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' \
    >"$dir/exit0"
chmod +x "$dir/exit0"
"$dir/exit0" 2>/dev/null
