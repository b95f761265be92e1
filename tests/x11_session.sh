# Shell functions that run the game on a private X server, for the end-to-end
# test and the screenshot script. Source this file; it sets a trap that stops
# the game and the server on exit.

x11_pids=()
x11_stop() {
    local pid
    for pid in "${x11_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -f "$game_log"
}
trap x11_stop EXIT

# Starts Xvfb on a display it picks itself and exports DISPLAY; Xvfb writes
# the display's number once it accepts clients. Fails if none starts.
x11_start_server() {
    local ready
    ready=$(mktemp)
    # -noreset: by default the server starts over when its last client leaves,
    # and a program connecting at that moment (after a tool that looked at the
    # display and went, such as the accessibility bus's launcher) is refused.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$ready" >/dev/null 2>&1 &
    x11_pids+=($!)
    local tries
    for tries in $(seq 100); do
        if [ -s "$ready" ] && grep -q $'\n' "$ready"; then
            export DISPLAY=":$(head -n 1 "$ready")"
            rm -f "$ready"
            return 0
        fi
        kill -0 "${x11_pids[-1]}" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$ready"
    return 1
}

# The game window's client area, at 96 dots per inch.
game_client_size=(340 241)

# Starts the game with the command and arguments given and sets game_pid to
# its process, game_window to its window's id once the same window has stood
# for half a second, and game_client to where its client area starts in that
# window: a Qt window's X window is its client area, while Wine draws the
# frame and caption of a window inside the window's X window. What the game
# prints goes to the file named by game_log. Fails if the game ends or shows
# no window.
game_log=$(mktemp)
x11_start_game() {
    "$@" >"$game_log" 2>&1 &
    game_pid=$!
    x11_pids+=("$game_pid")
    local tries seen=""
    for tries in $(seq 100); do
        kill -0 "$game_pid" 2>/dev/null || return 1
        game_window=$(xdotool search --onlyvisible --name '^Rolling a zemb' 2>/dev/null | head -n 1 || true)
        if [ -n "$game_window" ] && [ "$game_window" = "$seen" ]; then
            local WIDTH HEIGHT
            eval "$(xdotool getwindowgeometry --shell "$game_window" | grep -E '^(WIDTH|HEIGHT)=')"
            local border=$(((WIDTH - game_client_size[0]) / 2))
            game_client=("$border" $((HEIGHT - game_client_size[1] - border)))
            return 0
        fi
        seen=$game_window
        sleep 0.5
    done
    return 1
}

# Clicks at the pixel ($1, $2) of the game window's client area.
x11_click() {
    xdotool mousemove --window "$game_window" $(($1 + game_client[0])) $(($2 + game_client[1])) \
        click 1
    sleep 0.2
}

# Prints what the keys given after ($1, $2) copy from the control at that
# pixel: for the field, Home, Shift+End and Ctrl+C copy its whole text; for
# the output area Ctrl+C alone copies all of it. The clipboard is emptied
# first so that a copy that did not happen cannot pass for one.
x11_copy_from() {
    printf '' | xclip -selection clipboard >/dev/null 2>&1
    x11_click "$1" "$2"
    shift 2
    xdotool key "$@"
    sleep 0.3
    xclip -o -selection clipboard 2>/dev/null || true
}
