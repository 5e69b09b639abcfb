#!/usr/bin/env bash
# Runs a Windows program under Wine in an X server of its own, so window
# tests need no display and disturb none.
#
#   wine-x.sh --prepare PREFIX         makes the Wine prefix the window tests share
#   wine-x.sh PREFIX PROGRAM [ARGS]    runs PROGRAM in it; its exit status is ours
#
# The prefix uses the CJK fonts Debian installs: Wine links them to the
# faces it draws Chinese in where the face itself has no Chinese.
set -euo pipefail

wine=${QUADDLE_WINE:-/usr/lib/wine/wine64}
wineserver=${QUADDLE_WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all
# No Mono or Gecko to install: nothing here needs them, and nothing is fetched.
export WINEDLLOVERRIDES="mscoree,mshtml="

if [ "$1" = --prepare ]; then
    export WINEPREFIX=$2
    rm -rf "$WINEPREFIX"
    "$wine" wineboot -i >/dev/null 2>&1
    links='wqy-zenhei.ttc,WenQuanYi Zen Hei\0ukai.ttc,AR PL UKai CN'
    key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
    for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif" "MS Sans Serif" \
        Arial "Liberation Sans" "DejaVu Sans"; do
        "$wine" reg add "$key" /v "$face" /t REG_MULTI_SZ /d "$links" /f >/dev/null 2>&1
    done
    "$wineserver" -w
    exit 0
fi

export WINEPREFIX=$1
shift

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
[ -s "$display_file" ] || { echo "wine-x: Xvfb did not start" >&2; exit 1; }
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

status=0
"$wine" "$@" || status=$?
# Wine's own processes for this display end before the display does.
"$wineserver" -k 2>/dev/null || true
exit "$status"
