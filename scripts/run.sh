#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds Quaddle and starts it.
#
# With --web it builds the browser version instead, serves it to this machine
# only, on http://127.0.0.1:8000/, and opens it in the desktop's browser where
# there is one. Ctrl+C stops the server.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --web ]; then
    scripts/install-deps.sh run

    cmake --preset install >/dev/null
    cmake --build --preset install --target quaddle

    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "run: no display found (DISPLAY and WAYLAND_DISPLAY are unset); starting anyway" >&2
    fi
    exec build/install/app/quaddle "$@"
fi

scripts/install-deps.sh web

cmake --preset web >/dev/null
cmake --build --preset web --target web_site

url=http://127.0.0.1:8000/
python3 -m http.server --bind 127.0.0.1 --directory build/web/site 8000 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT INT TERM

# The browser is opened once the server answers.
for _ in $(seq 50); do
    (exec 3<>/dev/tcp/127.0.0.1/8000) 2>/dev/null && break
    kill -0 "$server" 2>/dev/null || exit 1
    sleep 0.1
done
echo "run: Quaddle is served on $url; Ctrl+C stops the server"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    for opener in xdg-open sensible-browser; do
        if command -v "$opener" >/dev/null; then
            "$opener" "$url" >/dev/null 2>&1 &
            break
        fi
    done
else
    echo "run: no display found (DISPLAY and WAYLAND_DISPLAY are unset); open $url in a browser" >&2
fi
wait "$server"
