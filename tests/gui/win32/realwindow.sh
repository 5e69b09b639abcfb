#!/usr/bin/env bash
# quaddle.exe under Wine in X servers of its own, with openbox, used as a
# person would with real input events, at 96 and at 144 DPI side by side: the
# About window comes up with OK disabled, OK hands over to the main window
# after the ten-second countdown, 12 12 12 12 and Calculate show four lines,
# a bad entry brings up the warning box, Exit ends the program with status 0.
# Then, started with --every (/EVERY at 144 DPI), the program opens the
# every-solution window at once, without the About window; a hand typed into
# it lists its solutions; Close ends the program.
# Every wait asks again until its deadline; a failure names the step and
# leaves a screenshot. Screenshots are kept in BUILD/realwindow/.
#
# Usage: realwindow.sh BUILD_DIR EXE MAIN_WINDOW_TITLE EVERY_WINDOW_TITLE PREFIX_96 PREFIX_144
set -euo pipefail

build=$(cd "$1" && pwd)
exe=$2
main_title=$3
every_title=$4
prefix_96=$5
prefix_144=$6
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
        # A program that has gone says so, and what it and Wine last wrote.
        if [ -n "${app:-}" ] && ended; then
            local status=0
            wait "$app" || status=$?
            echo "realwindow at $dpi DPI: quaddle.exe had ended, with status $status; its log ends:" >&2
            tail -n 20 "$out/$tag.log" | sed 's/^/    /' >&2
        fi
        exit 1
    }
    windows() { xdotool search --onlyvisible --classname quaddle.exe 2>/dev/null || true; }
    no_warning_box() { ! named_window Quaddle; }
    about_window() { windows | grep -qx "$about"; }
    ended() { ! kill -0 "$app" 2>/dev/null; }
    # A click at a point of a window's client area, given in twips; only
    # where the test then waits for its effect: the window manager holds a
    # click until it has seen it, while keys sent after it go on, so keys
    # are never sent behind a click.
    click() { xdotool mousemove --window "$1" "$(px "$2")" "$(px "$3")" click 1; }
    has_geometry() { xdotool getwindowgeometry "$1" | grep -q "Geometry: $(px "$2")x$(px "$3")\$"; }
    geometry_is() {
        wait_until 30 has_geometry "$@" ||
            fail "window $1 is not $(px "$2")x$(px "$3"): $(xdotool getwindowgeometry "$1")"
    }

    # A server left running would draw on the display its desktop started on.
    wine_stop || fail "the Wine server left running did not end"
    # Its log has Wine's errors too, not its traces.
    WINEDEBUG=-all,err+all wine_run "$exe" >"$out/$tag.log" 2>&1 &
    local app=$!
    xdisplay_own "$app"

    wait_until 60 one_window || fail "the About window did not open within 60 s"
    local about=$window
    local started=$SECONDS

    # OK is disabled during the countdown, pressed at once: half a second in
    # which a wrong reaction would show.
    click "$about" 7935 3570
    sleep 0.5
    named_window "$main_title" && fail "OK opened the main window during the countdown"
    one_window || fail "the About window closed during the countdown"

    geometry_is "$about" 8790 3915
    wait_until 30 drawn "$about" || fail "the About window was not drawn"
    shot about-start

    # OK is enabled at the tenth tick of a timer started before the window was
    # seen: from then on, OK opens the main window. Under load the tick may
    # come late, so OK is pressed again until the main window is there.
    local left=$((10 - (SECONDS - started)))
    [ "$left" -le 0 ] || sleep "$left"
    shot about-ready
    press_ok() {
        about_window && click "$about" 7935 3570
        wait_until 2 named_window "$main_title"
    }
    wait_until 60 press_ok || fail "OK did not open the main window"
    local form=$window
    wait_until 30 one_window || fail "the About window did not close"
    [ "$window" = "$form" ] || fail "another window than the main window is left"
    geometry_is "$form" 3465 3090
    wait_until 30 drawn "$form" || fail "the main window was not drawn"
    shot main-start

    # 12 in each box, from the keyboard: Calculate has the focus first, Tab
    # goes through the four boxes in order, Enter in a box calculates, and
    # the next Tab reaches the result box, whose lines are copied.
    wait_until 30 active "$form" || fail "the main window did not get the focus"
    for _ in 1 2 3 4; do
        xdotool key Tab ctrl+a
        xdotool type 12
    done
    xdotool key Return Tab ctrl+a ctrl+c
    local result
    result=$(clipboard_wait 30 | tr -d '\r') || fail "nothing was copied from the result box"
    [ "$(grep -c . <<<"$result")" -eq 4 ] || fail "12 12 12 12 shows '$result', not four lines"
    shot main-result

    # A bad entry in the first box (back from the result box past the other
    # three), then a click on Calculate: the warning box, modal. Its Return
    # goes to the window with the focus: the box's, once it has it.
    xdotool key shift+Tab shift+Tab shift+Tab shift+Tab ctrl+a
    xdotool type x
    click "$form" 907 2812
    wait_until 30 named_window Quaddle || fail "a bad entry brought up no warning box"
    local box=$window
    wait_until 30 active "$box" || fail "the warning box did not get the focus"
    wait_until 30 drawn "$box" || fail "the warning box was not drawn"
    shot warning
    xdotool key Return
    wait_until 30 no_warning_box || fail "the warning box did not close"

    # Exit ends the program.
    click "$form" 2452 2812
    wait_until 30 ended || fail "the program did not end on Exit"
    local status=0
    wait "$app" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
    wine_wait || fail "Wine's own processes had not ended two minutes after the program"

    # Asked for the every-solution window, the program shows it alone.
    local option=--every
    [ "$dpi" = 144 ] && option=/EVERY
    WINEDEBUG=-all,err+all wine_run "$exe" "$option" >>"$out/$tag.log" 2>&1 &
    app=$!
    xdisplay_own "$app"
    wait_until 60 named_window "$every_title" || fail "$option opened no window '$every_title' within 60 s"
    local every=$window
    one_window && [ "$window" = "$every" ] || fail "$option opened another window than '$every_title'"
    geometry_is "$every" 4800 5145
    wait_until 30 drawn "$every" || fail "the every-solution window was not drawn"
    wait_until 30 active "$every" || fail "the every-solution window did not get the focus"
    shot every-start

    # Six cards typed into the hand, which has the focus, replace 3 3 8 8; the
    # list, reached with Tab past the target, is selected whole and copied
    # until the search has answered.
    xdotool key ctrl+a
    xdotool type '1 2 3 4 5 6'
    xdotool key Tab Tab
    local copied=""
    every_listed() {
        xdotool key ctrl+a ctrl+c
        copied=$(clipboard_wait 10 | tr -d '\r') && [ "$(grep -c . <<<"$copied")" -eq 2553 ]
    }
    wait_until 90 every_listed ||
        fail "1 2 3 4 5 6 lists $(grep -c . <<<"$copied") lines, not its 2553 solutions"
    shot every-list

    click "$every" 4222 4837
    wait_until 30 ended || fail "the program did not end on Close"
    status=0
    wait "$app" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status after Close"
    # Wine's own processes end before the display does.
    wine_wait || fail "Wine's own processes had not ended two minutes after the program"
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
