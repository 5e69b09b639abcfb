#!/usr/bin/env bash
# How long Quaddle takes to put its About window on screen, against the floor
# of a bare Qt Widgets window of the same size with a line of the same text,
# under Xvfb with a window manager. Runs the two in turn and reports the
# medians, their ratio, and the resident memory of each once its window shows.
#
# Usage: bench/startup.sh BUILD_DIR [RUNS]   (a release build: cmake --preset release)
# Needs Xvfb, openbox, xprop and xev (x11-utils).
set -euo pipefail

build=$(cd "$1" && pwd)
runs=${2:-21}
quaddle=$build/app/quaddle
floor=$build/bench/startup_floor

# shellcheck source=../tests/support/xdisplay.sh
source "$(dirname "$0")/../tests/support/xdisplay.sh"
xdisplay_start
work=$(mktemp -d)
trap 'xdisplay_stop; rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=xcb

# The moment each top-level window is mapped, written as it happens by a
# watcher of the root window, so polling costs the programs nothing.
: >"$work/maps"
stdbuf -oL xev -root -event substructure 2>/dev/null | while IFS= read -r line; do
    case $line in MapNotify*) echo "${EPOCHREALTIME/./}" >>"$work/maps" ;; esac
done &
xdisplay_own $!
sleep 0.5

# Milliseconds from start until the process's window is mapped, and its
# resident memory in KiB half a second later.
measure() {
    local start end pid rss seen
    seen=$(wc -l <"$work/maps")
    start=${EPOCHREALTIME/./}
    "$1" >/dev/null 2>&1 &
    pid=$!
    until [ "$(wc -l <"$work/maps")" -gt "$seen" ]; do sleep 0.02; done
    end=$(tail -n1 "$work/maps")
    sleep 0.5
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    echo "$(((end - start) / 1000)) $rss"
}

median() { sort -n | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

measure "$floor" >/dev/null # warm the caches once
measure "$quaddle" >/dev/null
for _ in $(seq "$runs"); do
    measure "$floor" >>"$work/floor"
    measure "$quaddle" >>"$work/quaddle"
done

floor_ms=$(cut -d' ' -f1 "$work/floor" | median)
quaddle_ms=$(cut -d' ' -f1 "$work/quaddle" | median)
floor_kib=$(cut -d' ' -f2 "$work/floor" | median)
quaddle_kib=$(cut -d' ' -f2 "$work/quaddle" | median)
echo "runs:      $runs each"
echo "floor:     ${floor_ms} ms, ${floor_kib} KiB resident"
echo "quaddle:   ${quaddle_ms} ms, ${quaddle_kib} KiB resident"
awk -v q="$quaddle_ms" -v f="$floor_ms" -v qk="$quaddle_kib" -v fk="$floor_kib" \
    'BEGIN {printf "ratio:     %.2f, memory %+.2f MiB\n", q / f, (qk - fk) / 1024}'
