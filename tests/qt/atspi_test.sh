#!/usr/bin/env bash
# Plays a game of the built program through the accessibility bus
# (atspi_play.py), in a private D-Bus session on a private X server, with the
# program's clock standing still so that its rolls are known. Skips (exit 77)
# where something it needs is missing, except in CI.
# Usage: atspi_test.sh PROGRAM
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../x11_session.sh"

skip() {
    [ "${CI:-}" = true ] && { echo "FAIL: $* in CI"; exit 1; }
    echo "SKIP: $*"
    exit 77
}
for tool in Xvfb dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || skip "$tool is missing (Debian: xvfb dbus at-spi2-core)"
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

x11_start_server || skip "no X server could be started"
# The session's bus starts the accessibility bus when the first client asks.
dbus-run-session -- "$python" "$here/atspi_play.py" "$1"
