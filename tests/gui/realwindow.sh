#!/usr/bin/env bash
# Installs Quaddle into a staging folder, starts it in an X server of its own
# with a window manager and uses it as a person would, with real input events: the About window's OK
# does nothing during the countdown and hands over to the main window after
# it; one calculation; the result box's context menu lists every solution of
# the four numbers in a window of its own; Exit ends the program with status
# 0 and no window left. Then --every opens that list at once, alone.
# Every wait asks again until its deadline; a failure names the step and
# leaves a screenshot. Screenshots are kept in BUILD/realwindow/.
#
# Usage: realwindow.sh BUILD_DIR MAIN_WINDOW_TITLE
set -euo pipefail

build=$(cd "$1" && pwd)
main_title=$2
out=$build/realwindow
rm -rf "$out"
mkdir -p "$out"

cmake --install "$build" --prefix "$out/stage" >/dev/null
app=$out/stage/bin/quaddle

# shellcheck source=../support/xdisplay.sh
source "$(dirname "$0")/../support/xdisplay.sh"
xdisplay_start 1024x768x24 "$out/xvfb.log"
export QT_QPA_PLATFORM=xcb

shot() { import -window root "$out/$1.png"; }
fail() {
    echo "realwindow: $*" >&2
    shot failure || true
    exit 1
}
# The program's visible windows.
windows() { xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null || true; }
about_window() { [ -n "$about" ] && windows | grep -qx "$about"; }
# Only clicks whose effect the test then waits for: the window manager holds
# a click until it has seen it, while keys sent after it go on, so keys are
# never sent behind a click.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
geometry_is() { xdotool getwindowgeometry "$1" | grep -q "Geometry: $2\$"; }
ended() { ! kill -0 "$app_pid" 2>/dev/null; }

"$app" >"$out/quaddle.log" 2>&1 &
app_pid=$!
xdisplay_own "$app_pid"

about=""
wait_until 60 one_window || fail "the About window did not open within 60 s"
about=$window
started=$SECONDS

# OK (centre 529,238) is disabled during the countdown, pressed at once: a
# second in which a wrong reaction would show.
click "$about" 529 238
sleep 1
named_window "$main_title" && fail "OK opened the main window during the countdown"
one_window || fail "the About window closed during the countdown"

wait_until 30 geometry_is "$about" 586x261 ||
    fail "the About window is not 586x261: $(xdotool getwindowgeometry "$about")"
wait_until 30 drawn "$about" || fail "the About window was not drawn"
shot about-start

# OK is enabled at the tenth tick of a timer started before the window was
# seen: from then on, OK opens the main window. Under load the tick may come
# late, so OK is pressed again until the main window is there.
left=$((10 - (SECONDS - started)))
[ "$left" -le 0 ] || sleep "$left"
shot about-ready
press_ok() {
    about_window && click "$about" 529 238
    wait_until 2 named_window "$main_title"
}
wait_until 60 press_ok || fail "OK did not open the main window"
form=$window
wait_until 30 one_window || fail "the About window did not close"
[ "$window" = "$form" ] || fail "another window than the main window is left"
wait_until 30 drawn "$form" || fail "the main window was not drawn"
shot main-start

# From the keyboard: Calculate has the focus first, Tab goes through the four
# boxes in order, Enter in a box calculates, and the next Tab reaches the
# result box, whose text is copied.
wait_until 30 active "$form" || fail "the main window did not get the focus"
for value in 1 4 5 6; do
    xdotool key Tab ctrl+a
    xdotool type "$value"
done
xdotool key Return Tab ctrl+a ctrl+c
result=$(clipboard_wait 30) || fail "nothing was copied from the result box"
expected=$'\n6/(5/4-1)'
[ "$result" = "$expected" ] || fail "the result box shows '$result', not '$expected'"
shot main-result

# The result box has the focus: its context menu, from the keyboard, ends
# with the list of every solution, which opens with the four numbers. A hand
# typed there is answered as it is typed; its list is copied, and Tab, Tab
# and Enter press Close.
every_title="${main_title%% *} 所有解法"
xdotool key Menu
menu_open() { [ "$(windows | wc -l)" -ge 2 ]; }
wait_until 30 menu_open || fail "the result box's context menu did not open"
shot main-menu
xdotool key Up Return
wait_until 30 named_window "$every_title" || fail "the context menu did not open the list"
every=$window
wait_until 30 drawn "$every" || fail "the list of every solution was not drawn"
wait_until 30 active "$every" || fail "the list of every solution did not get the focus"
shot every-from-main
copy_list() {
    xdotool key ctrl+a
    xdotool type "$1"
    xdotool key Tab Tab ctrl+a ctrl+c
    copied=$(clipboard_wait 5) && xdotool key shift+Tab shift+Tab && [ "$copied" = "$2" ]
}
copied=""
wait_until 30 copy_list "3 3 8 8" "8/(3-8/3)" ||
    fail "the list for 3 3 8 8 shows '$copied', not '8/(3-8/3)'"
shot every-3388
xdotool key Tab Tab Tab Return
wait_until 30 one_window || fail "Close did not close the list"
[ "$window" = "$form" ] || fail "another window than the main window is left"

# Exit ends the program.
click "$form" 163 187
wait_until 30 ended || fail "the program did not end on Exit"
status=0
wait "$app_pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"

# --every: the list, at once and alone; closing it ends the program.
"$app" --every >"$out/quaddle-every.log" 2>&1 &
app_pid=$!
xdisplay_own "$app_pid"
wait_until 60 one_window || fail "--every opened no window, or more than one"
named_window "$every_title" || fail "--every opened another window than the list"
wait_until 30 drawn "$window" || fail "the list of every solution was not drawn"
shot every-alone
wait_until 30 active "$window" || fail "the list of every solution did not get the focus"
xdotool key alt+F4
wait_until 30 ended || fail "the program did not end when the list was closed"
status=0
wait "$app_pid" || status=$?
[ "$status" -eq 0 ] || fail "--every ended with status $status"
echo "realwindow: passed; screenshots in $out"
