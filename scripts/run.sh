#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds Quaddle and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh run

cmake --preset install >/dev/null
cmake --build --preset install --target quaddle

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: no display found (DISPLAY and WAYLAND_DISPLAY are unset); starting anyway" >&2
fi
exec build/install/app/quaddle "$@"
