#!/usr/bin/env bash
# The hack in the preview pane of the real xscreensaver-settings: the
# settings program starts it with --root and --window-id together (and
# XSCREENSAVER_WINDOW), and the pane shows the attractor. XScreenSaver will
# not run hacks as root, so as root both programs run as the user nobody.
# Usage: xscreensaver_settings_test.sh ZORVANE ARTIFACT-DIR
source "$(dirname "$0")/x11_lib.sh"
artifacts=$2
mkdir -p "$artifacts"
command -v xscreensaver-settings >/dev/null || { echo "xscreensaver-settings is not installed"; exit 1; }

hack=$tmp/zorvane
cp "$1" "$hack"
chmod 755 "$hack"
xscreensaver_home "$hack --root"

start_xvfb 1024x768
"${as_user[@]}" DISPLAY="$DISPLAY" xscreensaver -no-splash >"$tmp/daemon.log" 2>&1 &
"${as_user[@]}" DISPLAY="$DISPLAY" xscreensaver-settings >"$tmp/settings.log" 2>&1 &
settings=$!
started() {  # sets pid and args ("PID COMMAND...") when the hack runs
    read -r pid args < <(pgrep -af "^$hack " | head -n 1)
    [ -n "$pid" ] && env_window=$(tr '\0' '\n' <"/proc/$pid/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
}
pid= args= env_window=
check "the settings program starts the hack for its preview" wait_for 30 started
echo "preview command: $args (XSCREENSAVER_WINDOW=$env_window)"
pane=$(sed -n 's/.*--window-id \(0x[0-9a-fA-F]*\).*/\1/p' <<<"$args")
check "the command has --root and --window-id" test -n "$pane" -a -n "$(grep -e '--root' <<<"$args")"
check "XSCREENSAVER_WINDOW names the same window" test -n "$pane" -a "$((env_window))" = "$((${pane:-0}))"
# Pixels of strong colour: the pane's grey text ("No Preview Available")
# has none, attractors are drawn in random colours.
saturated() { convert "$1" -colorspace HSL -channel G -separate -threshold 25% -format '%[fx:int(mean*w*h)]' info:; }
colourful() { [ -n "$pane" ] && shot "$tmp/pane.png" "$pane" && [ "$(saturated "$tmp/pane.png")" -ge 100 ]; }
check "the preview pane shows attractors" wait_for 15 colourful
check "the hack is still running" alive "${pid:-none}"
shot "$tmp/screen.png" && cp "$tmp/screen.png" "$artifacts/xscreensaver-settings.png"

kill "$settings"
check "the hack ends with the settings program" wait_for 10 gone "${pid:-none}"
[ "$fails" -eq 0 ] || { echo "settings log:"; cat "$tmp/settings.log"; }
finish
