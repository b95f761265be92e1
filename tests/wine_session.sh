# Shell functions that run Windows programs under Wine on the private X
# server of x11_session.sh, for the Windows tests. Source this file after
# that one; it stops the Wine server before the X server on exit.

# Wine with its errors but not its notes on what it leaves out, without the
# add-ons a new prefix offers to download, and without menu entries made on
# the build machine's desktop (nor the error that their maker is missing).
export WINEDEBUG=${WINEDEBUG:-fixme-all,err-wineboot}
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="

# Debian's 64-bit loader itself where it is: its wine command asks for the
# 32-bit one too, which the tests do not need.
wine() {
    local loader=/usr/lib/wine/wine64
    if [ -x "$loader" ]; then
        WINELOADER=$loader "$loader" "$@"
    else
        command wine "$@"
    fi
}

wine_stop() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null || true
    x11_stop
}
trap wine_stop EXIT

# Whether Wine and the X tools are here; prints what is missing otherwise.
wine_tools_missing() {
    local tool
    for tool in wineserver Xvfb xdotool; do
        command -v "$tool" >/dev/null || { echo "$tool"; return 0; }
    done
    command -v wine >/dev/null || { echo wine; return 0; }
    return 1
}

# Starts the Wine server of prefix $1 on the X server started last: Wine
# binds its desktop to the display of the process that starts the server.
wine_start_server() {
    export WINEPREFIX=$1
    wineserver -k 2>/dev/null || true # one of an earlier run, on another display
    wineserver -p
}

# Makes a new prefix at $1 for the tests: its windows are left unmanaged,
# so that Wine does not wait for a window manager that is not there, and the
# display has 96 dots per inch.
wine_make_prefix() {
    rm -rf "$1"
    mkdir -p "$1"
    export WINEPREFIX=$1
    wine wineboot --init >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
    wine_set_dpi 96
    wineserver -w # until the server has saved the registry and ended
}

# Sets the display's dots per inch for the programs started after it.
wine_set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}
