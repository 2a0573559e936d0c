#!/usr/bin/env bash
# gnome_lib.sh - GNOME Shell of a test's own: headless, on the CPU, with
# virtual monitors, run as wayland_lib.sh runs sway (as root: the user
# nobody, a fresh runtime folder and home). Its two buses are private too:
# a session bus in the runtime folder, and a second bus of the same kind
# as its system bus (the shell stops at start-up without one; there it
# finds no logind, accounts or network services, and does without).
# Sourced by the tests, after which:
#
#   gnome_usable || skip "..."        # the programs are there
#   start_gnome 900x700 720x540      # sets compositor_pid, session (WAYLAND_DISPLAY and the buses)
#   gnome_eval 'Main.overview.visible'  # JavaScript in the shell; the result in $answer
#   gnome_shot "$tmp/shot.png"       # the whole screen, monitors side by side
#   gnome_key 30                     # an evdev key code pressed and released
#
# Eval and Screenshot need the shell's unsafe mode: --unsafe-mode from 44
# on (an option its --help does not list), else an extension in the test's
# home that turns it on (43).
source "$(dirname "${BASH_SOURCE[0]}")/../wayland/wayland_lib.sh"

gnome_usable() { command -v gnome-shell >/dev/null && command -v dbus-daemon >/dev/null; }

skip() {  # skip WHY: the test cannot run here; ctest counts it skipped (77)
    echo "SKIP: $*"
    exit 77
}

bus_up() { in_session gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.GetId >/dev/null 2>&1; }

gnome_eval() {  # gnome_eval CODE: true when it ran; what it gave (JSON) in $answer
    local out
    out=$(in_session timeout 10 gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell \
        -m org.gnome.Shell.Eval "$1" 2>&1) || { answer=$out; return 1; }
    [[ $out =~ ^\(true,\ \'(.*)\'\)$ ]] || { answer=$out; return 1; }
    answer=${BASH_REMATCH[1]}
}
shell_says() { gnome_eval "$1" && [ "$answer" = "$2" ]; }  # shell_says CODE RESULT

gnome_shot() {  # gnome_shot FILE: the whole screen as PNG
    rm -f "$shots/shot.png"
    in_session timeout 10 gdbus call --session -d org.gnome.Shell.Screenshot -o /org/gnome/Shell/Screenshot \
        -m org.gnome.Shell.Screenshot.Screenshot false false "$shots/shot.png" >/dev/null 2>&1 &&
        cp "$shots/shot.png" "$1"
}

# A virtual keyboard of the shell's seat, made once (one made and used in
# the same call drops its events); notify_key reaches the focused client.
gnome_key() {  # gnome_key EVDEV-CODE
    gnome_eval "global.zorvaneKeys.notify_key(imports.gi.GLib.get_monotonic_time(), $1,
        imports.gi.Clutter.KeyState.PRESSED);
        global.zorvaneKeys.notify_key(imports.gi.GLib.get_monotonic_time() + 1000, $1,
        imports.gi.Clutter.KeyState.RELEASED)"
}

idletime() {  # the idle monitor's idle time, in ms
    in_session gdbus call --session -d org.gnome.Mutter.IdleMonitor -o /org/gnome/Mutter/IdleMonitor/Core \
        -m org.gnome.Mutter.IdleMonitor.GetIdletime 2>/dev/null | grep -oE '[0-9]+' | tail -1
}

gnome_major() { in_session gnome-shell --version | grep -oE '[0-9]+' | head -1; }  # 43, 48, ...

unsafe_extension() {  # in the session's home, enabled: turns the shell's unsafe mode on
    local version dir=$home/.local/share/gnome-shell/extensions/unsafe@zorvane.test
    version=$(gnome_major)
    mkdir -p "$dir"
    printf '{"uuid": "unsafe@zorvane.test", "name": "unsafe", "description": "unsafe mode", "shell-version": ["%s"]}\n' \
        "$version" >"$dir/metadata.json"
    printf '%s\n' 'function init() {}' 'function enable() { global.context.unsafe_mode = true; }' \
        'function disable() {}' >"$dir/extension.js"
    [ "$(id -u)" -ne 0 ] || chown -R nobody:nogroup "$home/.local"
    in_session gsettings set org.gnome.shell enabled-extensions "['unsafe@zorvane.test']"
}

# start_gnome WxH...: the shell on a virtual monitor of each size, left to
# right, with no banners (the "Screen Lock disabled" one would lie over
# full-screen windows), out of the overview it starts in, and a virtual
# keyboard made. Sets compositor_pid, session, shell_seconds (its start-up).
start_gnome() {
    stop_compositor
    new_session
    home=$tmp/home
    shots=$tmp/shots
    mkdir -p "$shots"
    [ "$(id -u)" -ne 0 ] || chown nobody:nogroup "$shots"
    local m monitors=() flags=() t0
    for m in "$@"; do monitors+=(--virtual-monitor "$m"); done
    "${as_user[@]}" dbus-daemon --session --nofork --address="unix:path=$run/bus" </dev/null >/dev/null 2>&1 &
    "${as_user[@]}" dbus-daemon --session --nofork --address="unix:path=$run/system_bus" </dev/null >/dev/null 2>&1 &
    session=("${as_user[@]}" DBUS_SESSION_BUS_ADDRESS="unix:path=$run/bus"
        DBUS_SYSTEM_BUS_ADDRESS="unix:path=$run/system_bus")
    wait_for 10 bus_up || { echo "the session bus did not start" >&2; exit 1; }
    in_session gsettings set org.gnome.desktop.notifications show-banners false
    if [ "$(gnome_major)" -ge 44 ]; then flags=(--unsafe-mode); else unsafe_extension; fi
    t0=$(date +%s%N)
    "${session[@]}" gnome-shell --headless --wayland --no-x11 "${flags[@]}" "${monitors[@]}" --wayland-display=wayland-zorvane \
        </dev/null >"$tmp/gnome.log" 2>&1 &
    compositor_pid=$!
    session+=(WAYLAND_DISPLAY=wayland-zorvane)
    if ! wait_for 60 shell_says 'Main.layoutManager._startingUp' false; then
        echo "GNOME Shell did not start (Eval: $answer)" >&2
        cat "$tmp/gnome.log" >&2
        exit 1
    fi
    shell_seconds=$(( ($(date +%s%N) - t0) / 10000000 ))
    shell_seconds=$((shell_seconds / 100)).$(printf %02d $((shell_seconds % 100)))
    gnome_eval 'Main.overview.hide()'
    if ! wait_for 10 shell_says 'Main.overview.visible || Main.overview.animationInProgress' false ||
        ! gnome_eval 'global.zorvaneKeys = imports.gi.Clutter.get_default_backend().get_default_seat()
            .create_virtual_device(imports.gi.Clutter.InputDeviceType.KEYBOARD_DEVICE); true'; then
        echo "GNOME Shell: the overview stays, or no virtual keyboard ($answer)" >&2
        exit 1
    fi
}
