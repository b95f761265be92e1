#!/usr/bin/env bash
# Runs the Windows tests' programs under Wine, each on a private X server.
#   wine.sh prefix PREFIX
#       makes a new Wine prefix for the tests at PREFIX
#   wine.sh run PREFIX [--dpi N] PROGRAM [ARGUMENT...]
#       runs PROGRAM in it, on a display of N dots per inch (default 96)
# Skips (exit 77) where Wine or the X tools are missing, except in CI.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/x11_session.sh"
source "$here/wine_session.sh"

if missing=$(wine_tools_missing); then
    [ "${CI:-}" = true ] && { echo "FAIL: $missing is missing in CI"; exit 1; }
    echo "SKIP: $missing is not installed (Debian: wine wine64 xvfb xdotool)"
    exit 77
fi
command=$1
prefix=$2
shift 2
x11_start_server || { echo "FAIL: no X server could be started"; exit 1; }
case $command in
prefix)
    wine_make_prefix "$prefix"
    ;;
run)
    [ -d "$prefix" ] || { echo "FAIL: no Wine prefix at $prefix"; exit 1; }
    wine_start_server "$prefix"
    # The prefix is made at 96 dots per inch; another is set for this run only.
    if [ "${1:-}" = --dpi ]; then
        wine_set_dpi "$2"
        trap 'wine_set_dpi 96; wine_stop' EXIT
        shift 2
    fi
    wine "$@"
    ;;
*)
    echo "usage: wine.sh prefix PREFIX | run PREFIX [--dpi N] PROGRAM [ARGUMENT...]" >&2
    exit 2
    ;;
esac
