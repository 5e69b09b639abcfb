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
#   wait_until SECONDS COMMAND [ARGS...]
#       from wait.sh beside this file.
#   one_window
#       succeeds when exactly one window is shown of those the caller's own
#       function windows lists, one window id a line, and leaves its id in
#       the variable window.
#   named_window TITLE
#       the same for the one shown window of that title.
#   A search that meets a window being destroyed finds nothing at all, so a
#   window's id is taken only in a wait on one of these.
#   active WINDOW
#       succeeds when WINDOW is the one the window manager made active, the
#       one that gets the keys.
#   drawn WINDOW
#       succeeds once WINDOW shows more than a plain background: a window
#       that has been mapped may not have been painted yet.
#   clipboard_wait SECONDS
#       waits until something has been copied to the display's clipboard,
#       empty when the display starts, and prints that, or fails after
#       SECONDS. A program copies when it gets round to it, not when the keys
#       have been sent; and a program that has the clipboard may be slow to
#       hand it over, so each look gives up after a few seconds and the next
#       one asks again.

# shellcheck source=wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/wait.sh"

xdisplay_pids=()

# Stops what was started, the last first, and waits until each has gone.
xdisplay_stop() {
    local i pid
    for ((i = ${#xdisplay_pids[@]} - 1; i >= 0; i--)); do
        pid=${xdisplay_pids[i]}
        kill "$pid" 2>/dev/null || continue
        gone() { ! kill -0 "$pid" 2>/dev/null; }
        wait_until 10 gone || kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    xdisplay_pids=()
}

xdisplay_own() {
    xdisplay_pids+=("$1")
}

one_window() {
    window=$(windows)
    [ -n "$window" ] && [ "$(wc -l <<<"$window")" -eq 1 ]
}

named_window() {
    window=$(xdotool search --onlyvisible --name "^${1//./\\.}\$" 2>/dev/null) &&
        [ -n "$window" ] && [ "$(wc -l <<<"$window")" -eq 1 ]
}

active() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
}

drawn() {
    local colours
    colours=$(import -window "$1" -format '%k' info: 2>/dev/null) || return 1
    [ "${colours:-0}" -gt 16 ]
}

clipboard_wait() {
    local copied=""
    copy_arrived() {
        copied=$(timeout 5 xclip -out -selection clipboard 2>/dev/null) && [ -n "$copied" ]
    }
    wait_until "$1" copy_arrived || return 1
    printf '%s\n' "$copied"
}

xdisplay_start() {
    local screen=${1:-1024x768x24} log=${2:-/dev/null}
    local number
    trap xdisplay_stop EXIT
    number=$(mktemp)
    # Xvfb writes the number of the display it took to fd 3 once it is ready.
    # Without -noreset it starts afresh whenever its last client leaves, and
    # refuses whoever connects just then: the window manager, say, right
    # after a first look at the screen.
    exec 3>"$number"
    Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset >>"$log" 2>&1 &
    xdisplay_own $!
    exec 3>&-
    if ! wait_until 30 test -s "$number"; then
        rm -f "$number"
        echo "xdisplay: Xvfb did not start within 30 s" >&2
        return 1
    fi
    DISPLAY=":$(head -n1 "$number")"
    export DISPLAY
    rm -f "$number"
    unset WAYLAND_DISPLAY

    # A window manager answers Wine's requests to hide a window at once;
    # without one Wine waits two seconds for each.
    openbox --sm-disable >>"$log" 2>&1 &
    local openbox=$!
    xdisplay_own $openbox
    wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    wait_until 30 wm_up && return 0
    if kill -0 "$openbox" 2>/dev/null; then
        echo "xdisplay: openbox, running on $DISPLAY, did not take the screen within 30 s" >&2
    else
        echo "xdisplay: openbox ended on $DISPLAY without taking the screen" >&2
    fi
    [ "$log" = /dev/null ] || tail -n 5 "$log" >&2
    return 1
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    set -euo pipefail
    xdisplay_start 1024x768x24
    # A Wine server draws every program of its prefix on the display its
    # desktop started on: one left running goes first, and this display's
    # goes with it.
    stop_wine() {
        if [ -n "${WINEPREFIX:-}" ]; then
            # shellcheck source=../windows/wineprefix.sh
            (source "$(dirname "${BASH_SOURCE[0]}")/../windows/wineprefix.sh" &&
                wine_env "$WINEPREFIX" && wine_stop)
        fi
    }
    stop_wine
    status=0
    "$@" || status=$?
    if [ $status -ne 0 ]; then
        echo "xdisplay: $(basename "$1") ${*:2} ended with status $status on $DISPLAY" >&2
    fi
    stop_wine
    exit "$status"
fi
