#!/usr/bin/env bash
# Plays a short game with real input on a real X server: the built program,
# driven by xdotool, read back through the clipboard. Skips (exit 77) where
# a tool it needs is missing or no X server can be started, except in CI.
# Usage: e2e_x11.sh PROGRAM                  the Qt build
#        e2e_x11.sh --wine PREFIX PROGRAM    the Windows build, under Wine
set -euo pipefail
here=$(dirname "$0")
source "$here/x11_session.sh"
wine_prefix=""
if [ "$1" = --wine ]; then
    source "$here/wine_session.sh"
    wine_prefix=$2
    shift 2
fi
game=$1

skip() {
    [ "${CI:-}" = true ] && { echo "FAIL: $* in CI"; exit 1; }
    echo "SKIP: $*"
    exit 77
}
fail() {
    echo "FAIL: $*"
    sed 's/^/game: /' "$game_log"
    exit 1
}
trap 'echo "FAIL: the command at line $LINENO failed"; sed "s/^/game: /" "$game_log"' ERR
for tool in Xvfb xdotool xclip; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (Debian: xvfb xdotool xclip)"
done
# With no display set, or one that cannot be opened, the program says so in
# one line and fails, as a player over SSH would meet it.
if [ -z "$wine_prefix" ]; then
    for display in "" :7391; do
        status=0
        said=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" "$game" 2>&1) ||
            status=$?
        [ "$status" -eq 1 ] && [[ $said == "rolling-zemb: cannot show its window: "* ]] &&
            [ "$(wc -l <<<"$said")" -eq 1 ] ||
            { echo "FAIL: with DISPLAY='$display' the program ends with $status, saying: $said"; exit 1; }
    done
fi
x11_start_server || skip "no X server could be started"
if [ -n "$wine_prefix" ]; then
    missing=$(wine_tools_missing) && skip "$missing is not installed (Debian: wine wine64)"
    wine_start_server "$wine_prefix"
    x11_start_game wine "$game" || fail "the game window did not appear, or the game ended"
else
    x11_start_game env -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb "$game" ||
        fail "the game window did not appear, or the game ended"
fi

# Client-area pixels of the controls, at their centres.
field=(168 32); output=(168 180); start=(48 80); low=(128 80); quit=(288 80)

title=$(xdotool getwindowname "$game_window") || fail "the window went away"
[ "$title" = "Rolling a zemb (1-6)" ] || fail "caption is '$title'"
if [ -z "$wine_prefix" ]; then
    size=$(xdotool getwindowgeometry "$game_window" | sed -n 's/.*Geometry: //p') ||
        fail "the window went away"
    [ "$size" = "340x241" ] || fail "client area is $size"
fi
copy_field=(Home shift+End ctrl+c)
[ -z "$(x11_copy_from "${field[@]}" "${copy_field[@]}")" ] || fail "the field does not start empty"

x11_click "${start[@]}"
balance=$(x11_copy_from "${field[@]}" "${copy_field[@]}")
[ "$balance" = "10" ] || fail "after Start the field holds '$balance'"

x11_click "${low[@]}"
shown=$(x11_copy_from "${output[@]}" ctrl+c)
balance=$(x11_copy_from "${field[@]}" "${copy_field[@]}")
roll=$(sed -n '1s/^The number is \([1-6]\)$/\1/p' <<<"$shown")
[ -n "$roll" ] || fail "the bet shows '$shown'"
if [ "$roll" -le 3 ]; then
    expected_output=$'The number is '"$roll"$'\nYou won!'; expected_balance=20
else
    expected_output=$'The number is '"$roll"$'\nYou lost! (Player bankrupt)'; expected_balance=0
fi
[ "$shown" = "$expected_output" ] || fail "the bet on $roll shows '$shown'"
[ "$balance" = "$expected_balance" ] || fail "the bet on $roll leaves '$balance'"

x11_click "${quit[@]}"
shown=$(x11_copy_from "${output[@]}" ctrl+c)
[ "$shown" = $'You quit.\nThe balance of your account is '"$expected_balance" ] ||
    fail "quit shows '$shown'"
[ -z "$(x11_copy_from "${field[@]}" "${copy_field[@]}")" ] || fail "quit leaves the field filled"
xdotool search --onlyvisible --name '^Rolling a zemb' >/dev/null || fail "the window closed"

# Closing the window ends the program, successfully. With no window manager
# here, only Wine, which draws the window's frame itself, answers Alt+F4.
if [ -n "$wine_prefix" ]; then
    xdotool key alt+F4
    for tries in $(seq 50); do
        kill -0 "$game_pid" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$game_pid" 2>/dev/null && fail "the program goes on after its window closed"
    status=0
    wait "$game_pid" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
fi

echo "PASS: rolled $roll, balance 10 -> $expected_balance -> empty"
