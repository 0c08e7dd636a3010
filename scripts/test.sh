#!/usr/bin/env bash
# Sets up, builds and runs every test (widget tests offscreen, one run in Xvfb).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh" xvfb xauth xdotool
ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"
