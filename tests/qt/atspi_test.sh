#!/usr/bin/env bash
# Plays a game of the built program through the accessibility bus
# (atspi_play.py), in a private D-Bus session on a private X server, with the
# program's clock standing still so that its rolls are known; then again from
# the keyboard with the Orca screen reader running, whose log tells what it
# said. Skips (exit 77) where something it needs is missing, except in CI.
# Usage: atspi_test.sh PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../x11_session.sh"

skip() {
    [ "${CI:-}" = true ] && { echo "FAIL: $* in CI"; exit 1; }
    echo "SKIP: $*"
    exit 77
}
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher orca xdotool; do
    command -v "$tool" >/dev/null ||
        skip "$tool is missing (Debian: xvfb dbus at-spi2-core orca xdotool)"
done
# The system's Python, which has the system's pyatspi, whatever else is first
# on the PATH.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" -c 'import pyatspi' 2>/dev/null || skip "pyatspi is missing (Debian: python3-pyatspi)"
faketime=$(find /usr/lib -name libfaketime.so.1 -print -quit 2>/dev/null)
[ -n "$faketime" ] || skip "libfaketime is missing (Debian: faketime)"
# A program built with AddressSanitizer needs its runtime loaded first.
asan=$(ldd "$1" | awk '/libasan/ { print $3 }')
export GAME_PRELOAD=${asan:+$asan:}$faketime

# Orca and the speech server it starts get a home of their own: braille off,
# as there is no display for it, and speech through a module that says
# nothing into a sound device that is not there.
home=$(mktemp -d)
trap 'x11_stop; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/run
mkdir -p "$XDG_CONFIG_HOME/speech-dispatcher/modules" "$XDG_DATA_HOME/orca" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '%s\n' 'AddModule "silent" "sd_generic" "silent.conf"' 'DefaultModule silent' \
    'AudioOutputMethod "libao"' >"$XDG_CONFIG_HOME/speech-dispatcher/speechd.conf"
printf '%s\n' 'GenericExecuteSynth "true"' 'AddVoice "en" "MALE1" "silent"' \
    >"$XDG_CONFIG_HOME/speech-dispatcher/modules/silent.conf"
echo default_driver=null >"$HOME/.libao"
"$python" - "$XDG_DATA_HOME/orca/user-settings.conf" <<'END'
import json, sys
from orca import settings
general = {name: getattr(settings, name) for name in settings.userCustomizableSettings}
general["enableBraille"] = False
profile = {"profile": ["Default", "default"]}
json.dump({"general": general, "pronunciations": {}, "keybindings": {},
           "profiles": {"default": profile}}, open(sys.argv[1], "w"))
END

x11_start_server || skip "no X server could be started"
# The session's bus starts the accessibility bus when the first client asks.
dbus-run-session -- "$python" "$here/atspi_play.py" "$1"
