#!/usr/bin/env bash
# The machine faults that set-up and the tests must survive, without
# changing the system: apt-get and dpkg are stand-ins here. make run's
# profile takes no Wine, browser, Emscripten or packaging tools; a program
# that another package provides (through links and the alternatives
# system) counts, one from outside the system's folders does not; an apt
# source that keeps failing is named and set-up goes on; an install that
# apt refuses names the package and says what to do; and, as root, a PATH
# folder inside a clone that others cannot enter still serves the programs
# the XScreenSaver tests run as nobody.
# Usage: bootstrap_test.sh SOURCE-DIR
source "$(dirname "$0")/../x11/x11_lib.sh"
source "$1/scripts/bootstrap.sh"
set +e +o pipefail  # (set by bootstrap.sh; the checks read statuses)

profile_packages() {  # every package the profile may install
    local entry program package tag
    use_profile "$1"
    for entry in "${programs[@]}"; do
        read -r program package tag <<<"$entry"
        wanted "$tag" && echo "${package//|/ }"
    done
    for entry in "${packages[@]}"; do
        read -r package tag <<<"$entry"
        wanted "$tag" && echo "$package"
    done
}
heavy='^(wine.*|libwine|fonts-wine|chromium|emscripten|nodejs|nsis|lintian|xscreensaver|g\+\+-mingw-w64.*|clang|xvfb|dpkg-dev)$|:i386'
profile_packages run >"$tmp/run"
profile_packages test >"$tmp/test"
check "make run's profile takes none of the test bench" eval '! grep -Eq "$heavy" "$tmp/run"'
check "make test's takes it" test "$(grep -Ec "$heavy" "$tmp/test")" -ge 10
check "make run's profile builds the saver" grep -qx 'libx11-dev' "$tmp/run"

# sh is dash's, declared as bash's; awk goes through the alternatives system.
use_profile run
programs=("awk gawk build" "sh bash build" "env coreutils build")
check "programs from other packages than the table's are linked" make_path "$tmp/path"
check "... and run" test "$("$tmp/path/awk" 'BEGIN { print 6 * 7 }')" = 42
mkdir "$tmp/bin"
printf '#!/bin/sh\n' >"$tmp/bin/zorvane-elsewhere"
chmod 755 "$tmp/bin/zorvane-elsewhere"
programs=("zorvane-elsewhere coreutils build")
PATH=$tmp/bin:$PATH make_path "$tmp/path" 2>"$tmp/elsewhere.err"
check "a program no package installed is refused" test $? -ne 0
check "... by name" grep -q 'no Debian package installed zorvane-elsewhere' "$tmp/elsewhere.err"

# apt-get: a source that cannot be reached, and an i386 package that cannot
# be installed beside the amd64 libraries; every call is logged.
cat >"$tmp/bin/apt-get" <<'STUB'
#!/bin/sh
echo "$*" >>"${0%/*}/calls"
case " $* " in
*" update"*)
    [ -e "${0%/*}/unreachable" ] || exit 0
    echo "Err:3 http://zorvane-unreachable.invalid/debian trixie InRelease"
    echo "W: Failed to fetch http://zorvane-unreachable.invalid/debian/dists/trixie/InRelease  Temporary failure resolving 'zorvane-unreachable.invalid'" ;;
*zorvane-wine32*)
    echo " zorvane-wine32:i386 : Depends: libwine:i386 (= 10.0~repack-6) but it is not going to be installed"
    echo "E: Unable to correct problems, you have held broken packages."
    exit 100 ;;
esac
STUB
printf '#!/bin/sh\necho "$*" >>"${0%%/*}/calls"\n' >"$tmp/bin/dpkg"
printf '#!/bin/sh\n' >"$tmp/bin/apt-cache"
printf '#!/bin/sh\n[ "$1" != -n ] || shift\nexec "$@"\n' >"$tmp/bin/sudo"  # (not root)
chmod 755 "$tmp/bin/apt-get" "$tmp/bin/dpkg" "$tmp/bin/apt-cache" "$tmp/bin/sudo"
sleep() { :; }  # no pause between apt-get update's tries
sudo=()
update() { : >"$tmp/bin/calls"; (PATH=$tmp/bin:$PATH update_lists) 2>"$tmp/update.err"; }
check "a reachable archive: apt-get update once" update
check "... no warning" test "$(grep -c update "$tmp/bin/calls")-$(wc -c <"$tmp/update.err")" = 1-0
touch "$tmp/bin/unreachable"
check "a source that cannot be reached: set-up goes on" update
check "... after three tries" test "$(grep -c update "$tmp/bin/calls")" = 3
check "... naming the source" grep -q 'http://zorvane-unreachable.invalid/debian' "$tmp/update.err"

programs=()
packages=("zorvane-wine32:i386 build" "zorvane-absent build")
runs_i386() { true; }  # (whatever this kernel runs)
: >"$tmp/bin/calls"
(PATH=$tmp/bin:$PATH install_missing) >"$tmp/install.out" 2>&1
check "an install apt refuses fails" test $? -ne 0
check "... and says which package" grep -q 'cannot be installed: zorvane-wine32:i386$' "$tmp/install.out"
check "... and what to do" grep -q "run 'apt-get update' again" "$tmp/install.out"
check "... after installing the others" grep -qx 'install -y -q --no-install-recommends zorvane-absent' <(sed 's/^-o [^ ]* //' "$tmp/bin/calls")
check "32-bit Wine adds the i386 architecture" grep -qx -- '--add-architecture i386' "$tmp/bin/calls"
[ "$fails" -eq 0 ] || cat "$tmp/install.out"
runs_i386() { false; }
i386_emulation() { echo emulation >>"$tmp/bin/calls"; return 1; }
use_profile test
: >"$tmp/bin/calls"
(PATH=$tmp/bin:$PATH install_missing) >"$tmp/no-i386.out" 2>&1
check "a kernel without 32-bit programs: emulation is tried" grep -qx emulation "$tmp/bin/calls"
check "... and where it fails, 32-bit Wine left out, saying so" grep -q 'cannot run 32-bit x86 programs' "$tmp/no-i386.out"
check "... and not installed" eval '! grep -q zorvane-wine32 "$tmp/bin/calls"'
check "... nor the i386 architecture added" eval '! grep -q -- "--add-architecture" "$tmp/bin/calls"'

if [ "$(id -u)" -eq 0 ]; then
    mkdir -p "$tmp/clone/tool-path" "$tmp/home"
    chmod 700 "$tmp/clone"
    ln -s "$(readlink -f "$(command -v id)")" "$tmp/clone/tool-path/zorvane-id"
    PATH=$tmp/clone/tool-path:$PATH as_user_at "$tmp/home"
    check "a tool-path in a clone others cannot enter: nobody cannot run it" \
        eval '! PATH=$tmp/clone/tool-path:$PATH runuser -u nobody -- zorvane-id -un >/dev/null 2>&1'
    check "... but the tests' as_user can" test "$("${as_user[@]}" zorvane-id -un)" = nobody
else
    echo "(not root: the 0700 clone case needs runuser)"
fi
finish
