#!/usr/bin/env bash
# Runs a command in an X server of its own, with a window manager, so window
# tests need no display and disturb none:
#   xdisplay.sh COMMAND [ARGS...]
# Its exit status is the command's. Where WINEPREFIX is set, the prefix's Wine
# server is stopped before and after: the prefix is the test's alone.
set -euo pipefail

xvfb_pid=
wm_pid=
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

display_file=$(mktemp)
exec 3>"$display_file"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
    [ -s "$display_file" ] && break
    sleep 0.05
done
[ -s "$display_file" ] || { echo "xdisplay: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$display_file")"
rm -f "$display_file"
unset WAYLAND_DISPLAY

# A window manager answers Wine's requests to hide a window at once; without
# one Wine waits two seconds for each.
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done

# A Wine server draws every program of its prefix on the display its desktop
# started on: one left running (by the prefix's set-up, say) goes first, and
# this display's goes with it.
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
