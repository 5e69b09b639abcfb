#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds every configuration and runs
# every test: the normal build, the solver at -O3 -march=native and with its
# portable lanes, everything under AddressSanitizer and UBSan, and the Windows
# build (the program, quaddle-solve and the installer), tested under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in dev native portable asan mingw; do
    echo "==> $preset"
    cmake --workflow --preset "$preset"
done
