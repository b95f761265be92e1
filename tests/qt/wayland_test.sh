#!/usr/bin/env bash
# Starts the program on Weston's headless backend, on Qt's Wayland platform,
# and checks from the compositor's own protocol log that its window comes up:
# a top-level surface with the game's caption, given a buffer of its pixels
# once the compositor has configured it. Skips (exit 77) where Weston or Qt's
# Wayland plugin is missing, except in CI.
# Usage: wayland_test.sh PROGRAM
set -euo pipefail
program=$1

fail() {
    echo "FAIL: $*"
    sed 's/^/weston: /' "$work/weston.log" | grep -v '\[proto\]' | tail -n 20 || true
    sed 's/^/game: /' "$work/game.log" || true
    exit 1
}
skip() {
    [ "${CI:-}" = true ] && { echo "FAIL: $* in CI"; exit 1; }
    echo "SKIP: $*"
    exit 77
}
command -v weston >/dev/null || skip "weston is not installed (Debian: weston)"
find /usr/lib -path '*platforms/libqwayland-generic.so' 2>/dev/null | grep -q . ||
    skip "Qt's Wayland plugin is not installed (Debian: qt6-wayland)"

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=rolling-zemb-test

weston --backend=headless-backend.so --socket="$socket" --idle-time=0 --no-config \
    --log="$work/weston.log" --logger-scopes=log,proto >/dev/null 2>&1 &
pids+=($!)
for tries in $(seq 50); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
    sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || fail "weston did not start"

env -u DISPLAY WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland "$program" \
    >"$work/game.log" 2>&1 &
pids+=($!)

# The game's top-level: the client that titled it, and its surface.
shown() {
    local log=$work/weston.log title client toplevel xdg surface
    title=$(grep -m 1 -F '.set_title("Rolling a zemb (1-6)")' "$log") || return 1
    client=$(sed -n 's/.*\] client \(0x[0-9a-f]*\) rq .*/\1/p' <<<"$title")
    toplevel=$(sed -n 's/.* rq \(xdg_toplevel@[0-9]*\)\.set_title.*/\1/p' <<<"$title")
    xdg=$(grep -F "client $client rq" "$log" |
        sed -n "s/.* rq \(xdg_surface@[0-9]*\)\.get_toplevel(new id $toplevel).*/\1/p" | tail -n 1)
    surface=$(grep -F "client $client rq" "$log" |
        sed -n "s/.*get_xdg_surface(new id $xdg, \(wl_surface@[0-9]*\)).*/\1/p" | tail -n 1)
    [ -n "$surface" ] || return 1
    # Configured, then given a buffer and committed.
    grep -F "client $client" "$log" | sed -n "/ev $xdg\.configure/,\$p" |
        grep -F "rq $surface.attach(wl_buffer@" >/dev/null &&
        grep -F "client $client" "$log" | sed -n "/ev $xdg\.configure/,\$p" |
        grep -F "rq $surface.commit()" >/dev/null
}
for tries in $(seq 100); do
    shown && break
    kill -0 "${pids[1]}" 2>/dev/null || fail "the game ended"
    sleep 0.2
done
shown || fail "no window of the game came up"
grep -q -F '.set_min_size(340, 241)' "$work/weston.log" || fail "the window is not 340 x 241"
echo "PASS: the window came up on Weston"
