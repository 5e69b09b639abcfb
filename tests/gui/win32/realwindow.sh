#!/usr/bin/env bash
# quaddle.exe under Wine in X servers of its own, with openbox, used as a
# person would with real input events, at 96 and at 144 DPI side by side: the
# About window comes up with OK disabled, OK hands over to the main window
# after the ten-second countdown, 12 12 12 12 and Calculate show four lines,
# a bad entry brings up the warning box, Exit ends the program with status 0.
# Screenshots are kept in BUILD/realwindow/.
#
# Usage: realwindow.sh BUILD_DIR EXE MAIN_WINDOW_TITLE PREFIX_96 PREFIX_144
set -euo pipefail

build=$(cd "$1" && pwd)
exe=$2
main_title=$3
prefix_96=$4
prefix_144=$5
out=$build/realwindow
rm -rf "$out"
mkdir -p "$out"
# shellcheck source=../../windows/wineprefix.sh
source "$(dirname "$0")/../../windows/wineprefix.sh"
# shellcheck source=../../support/xdisplay.sh
source "$(dirname "$0")/../../support/xdisplay.sh"

# run_at DPI PREFIX: the whole session at one density; its log in OUT/DPI.log.
run_at() {
    local dpi=$1 prefix=$2
    local tag=dpi$dpi
    # Each session runs in a subshell of its own and stops what it started.
    xdisplay_start 1280x800x24 "$out/$tag.xvfb.log"
    wine_env "$prefix"

    px() { echo $((($1 * dpi + 720) / 1440)); }
    shot() { import -window root "$out/$1-$tag.png"; }
    fail() {
        echo "realwindow at $dpi DPI: $*" >&2
        shot failure || true
        exit 1
    }
    windows() { xdotool search --onlyvisible --classname quaddle.exe 2>/dev/null || true; }
    named() { xdotool search --onlyvisible --name "^${1//./\\.}\$" 2>/dev/null || true; }
    wait_until() {
        local tries=$1
        shift
        for _ in $(seq "$tries"); do
            "$@" && return 0
            sleep 0.1
        done
        return 1
    }
    one_window() { [ "$(windows | wc -l)" -eq 1 ]; }
    main_window() { [ -n "$(named "$main_title")" ]; }
    warning_box() { [ -n "$(named Quaddle)" ]; }
    # A click at a point of a window's client area, given in twips.
    click() {
        xdotool mousemove --window "$1" "$(px "$2")" "$(px "$3")" click 1
        sleep 0.3
    }
    geometry_is() {
        xdotool getwindowgeometry "$1" | grep -q "Geometry: $(px "$2")x$(px "$3")" ||
            fail "window $1 is not $(px "$2")x$(px "$3"): $(xdotool getwindowgeometry "$1")"
    }

    # A server left running would draw on the display its desktop started on.
    "$WINESERVER" -k 2>/dev/null || true
    wine_run "$exe" >"$out/$tag.log" 2>&1 &
    local app=$!
    xdisplay_own "$app"

    wait_until 200 one_window || fail "the About window did not open"
    local about
    about=$(windows)
    local started
    started=$(date +%s)
    geometry_is "$about" 8790 3915
    sleep 0.5
    shot about-start

    # OK is disabled during the countdown.
    click "$about" 7935 3570
    sleep 0.5
    main_window && fail "OK opened the main window during the countdown"
    one_window || fail "the About window closed during the countdown"

    # OK is enabled at the tenth tick, ten seconds after the window loaded.
    sleep $((11 - ($(date +%s) - started)))
    shot about-ready
    click "$about" 7935 3570
    wait_until 50 main_window || fail "OK did not open the main window"
    local form
    form=$(named "$main_title")
    wait_until 50 one_window || fail "the About window did not close"
    geometry_is "$form" 3465 3090
    shot main-start

    # 12 in each box, then Calculate.
    for left in 405 1110 1815 2520; do
        click "$form" $((left + 300)) 660
        xdotool key ctrl+a
        xdotool type 12
    done
    click "$form" 907 2812
    shot main-result
    click "$form" 1717 1830
    xdotool key ctrl+a ctrl+c
    sleep 0.3
    local lines
    lines=$(xclip -o -selection clipboard | tr -d '\r' | grep -c . || true)
    [ "$lines" -eq 4 ] || fail "12 12 12 12 shows $lines lines, not four: $(xclip -o -selection clipboard)"

    # A bad entry: the warning box, modal, then the calculation goes on.
    click "$form" 705 660
    xdotool key ctrl+a
    xdotool type x
    click "$form" 907 2812
    wait_until 50 warning_box || fail "a bad entry brought up no warning box"
    sleep 0.3
    shot warning
    xdotool key Return
    wait_until 50 bash -c "! xdotool search --onlyvisible --name '^Quaddle\$' >/dev/null 2>&1" ||
        fail "the warning box did not close"

    # Exit ends the program.
    click "$form" 2452 2812
    wait_until 50 bash -c "! kill -0 $app 2>/dev/null" || fail "the program did not end on Exit"
    local status=0
    wait "$app" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
    # Wine's own processes end before the display does.
    wine_wait
    echo "realwindow at $dpi DPI: passed"
}

status=0
(run_at 96 "$prefix_96") &
first=$!
(run_at 144 "$prefix_144") &
second=$!
wait "$first" || status=1
wait "$second" || status=1
[ "$status" -eq 0 ] && echo "realwindow: passed; screenshots in $out"
exit "$status"
