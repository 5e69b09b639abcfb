#!/usr/bin/env bash
# Installs Quaddle into a staging folder, starts it in an X server of its own
# with a window manager and uses it as a person would, with real input events: the About window's OK
# does nothing during the countdown and hands over to the main window after
# it; one calculation; Exit ends the program with status 0 and no window left.
# Screenshots are kept in BUILD/realwindow/.
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
main_window() { xdotool search --onlyvisible --name "^${main_title//./\\.}\$" 2>/dev/null; }
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.2; }

"$app" >"$out/quaddle.log" 2>&1 &
app_pid=$!
xdisplay_own "$app_pid"

wait_until 100 one_window || fail "the About window did not open"
about=$(windows)
started=$(date +%s)
xdotool getwindowgeometry "$about" | grep -q 'Geometry: 586x261' ||
    fail "the About window is not 586x261: $(xdotool getwindowgeometry "$about")"
sleep 0.5
shot about-start

# OK (centre 529,238) is disabled during the countdown.
click "$about" 529 238
sleep 1
[ -z "$(main_window)" ] || fail "OK opened the main window during the countdown"
one_window || fail "the About window closed during the countdown"

# OK is enabled at the tenth tick, ten seconds after the window loaded.
sleep $((11 - ($(date +%s) - started)))
shot about-ready
click "$about" 529 238
wait_until 50 main_window || fail "OK did not open the main window"
form=$(main_window)
wait_until 50 one_window || fail "the About window did not close"
[ "$(windows)" = "$form" ] || fail "another window than the main window is left"
shot main-start

# Type 1 4 5 6 into the four boxes and press Calculate.
for box in "47 44 1" "94 44 4" "141 44 5" "188 44 6"; do
    read -r x y value <<<"$box"
    click "$form" "$x" "$y"
    xdotool key ctrl+a
    xdotool type "$value"
done
click "$form" 60 187
shot main-result

# Read the result box through the clipboard.
click "$form" 114 122
xdotool key ctrl+a ctrl+c
sleep 0.3
result=$(xclip -o -selection clipboard)
expected=$'\n6/(5/4-1)'
[ "$result" = "$expected" ] || fail "the result box shows '$result', not '$expected'"

# Exit ends the program.
click "$form" 163 187
status=0
wait_until 50 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the program did not end on Exit"
wait "$app_pid" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
echo "realwindow: passed; screenshots in $out"
