#!/usr/bin/env bash
# What the shell tests wait with: a condition asked again until a deadline,
# never a pause that guesses how long something takes. Source it.
#
#   wait_until SECONDS COMMAND [ARGS...]
#       runs COMMAND every tenth of a second until it succeeds, or fails once
#       SECONDS have passed.

wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}
