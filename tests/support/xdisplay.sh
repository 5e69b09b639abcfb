#!/usr/bin/env bash
# An X server of a test's own, with a window manager, so window tests need no
# display and disturb none.
#
# Run it to run one command there:
#   xdisplay.sh COMMAND [ARGS...]
# Its exit status is the command's. Where WINEPREFIX is set, the prefix's Wine
# server is stopped before and after: the prefix is the test's alone.
#
# Or source it in a script that needs the display itself, which gets:
#   xdisplay_start [SCREEN [LOG]]
#       starts Xvfb on the first free display (SCREEN as WIDTHxHEIGHTxDEPTH,
#       1024x768x24 unless given; its output to LOG, else nowhere), then
#       openbox, waits until the window manager is up and exports DISPLAY.
#       Both are stopped when the shell exits, also when it fails.
#   xdisplay_own PID
#       stops a process of the caller's too when the shell exits, before the
#       display goes.

xdisplay_pids=()

xdisplay_stop() {
    local i
    for ((i = ${#xdisplay_pids[@]} - 1; i >= 0; i--)); do
        kill "${xdisplay_pids[i]}" 2>/dev/null || true
    done
    xdisplay_pids=()
}

xdisplay_own() {
    xdisplay_pids+=("$1")
}

xdisplay_start() {
    local screen=${1:-1024x768x24} log=${2:-/dev/null}
    local number
    trap xdisplay_stop EXIT
    number=$(mktemp)
    # Xvfb writes the number of the display it took to fd 3 once it is ready.
    exec 3>"$number"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp >"$log" 2>&1 &
    xdisplay_own $!
    exec 3>&-
    for _ in $(seq 200); do
        [ -s "$number" ] && break
        sleep 0.05
    done
    if ! [ -s "$number" ]; then
        rm -f "$number"
        echo "xdisplay: Xvfb did not start" >&2
        return 1
    fi
    DISPLAY=":$(head -n1 "$number")"
    export DISPLAY
    rm -f "$number"
    unset WAYLAND_DISPLAY

    # A window manager answers Wine's requests to hide a window at once;
    # without one Wine waits two seconds for each.
    openbox --sm-disable >/dev/null 2>&1 &
    xdisplay_own $!
    for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.05
    done
    echo "xdisplay: openbox did not start" >&2
    return 1
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    xdisplay_start 1024x768x24
    # A Wine server draws every program of its prefix on the display its
    # desktop started on: one left running (by the prefix's set-up, say) goes
    # first, and this display's goes with it.
    stop_wine() {
        if [ -n "${WINEPREFIX:-}" ]; then
            "$(dirname "${QUADDLE_WINE:-/usr/lib/wine/wine64}")/wineserver" -k 2>/dev/null || true
        fi
    }
    stop_wine
    status=0
    "$@" || status=$?
    stop_wine
    exit "$status"
fi
