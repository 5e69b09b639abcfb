#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds every configuration and runs
# every test: the normal build, the solver at -O3 -march=native and with its
# portable lanes, everything under AddressSanitizer and UBSan, the Windows
# build (the program, quaddle-solve and the installer), tested under Wine, and
# the browser build, tested under Node and in Chromium, Firefox and WebKit.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in dev native portable asan mingw web; do
    echo "==> $preset"
    cmake --workflow --preset "$preset"
done
