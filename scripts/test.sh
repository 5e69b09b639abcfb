#!/usr/bin/env bash
# Sets up a fresh Debian or Ubuntu machine, builds every configuration and runs
# every test: the normal build, the solver at -O3 -march=native and with its
# portable lanes, and everything under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

for preset in dev native portable asan; do
    echo "==> $preset"
    cmake --workflow --preset "$preset"
done
