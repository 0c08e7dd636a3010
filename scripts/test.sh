#!/usr/bin/env bash
# Sets up, builds and runs every test (widget tests offscreen, runs in Xvfb and on a
# headless Wayland desktop), then runs each fuzz target for 20 seconds.
#   test.sh          all of that
#   test.sh asan     the tests alone, built with AddressSanitizer and UBSan (build-asan/)
#   test.sh fuzz N   the fuzz targets alone, N seconds each
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
test_packages=(xvfb xauth xdotool desktop-file-utils appstream dpkg-dev file
    sway grim wtype qt6-wayland liblcms2-utils)
case "${1:-}" in
asan)
    bash "$root/scripts/setup.sh" --asan "${test_packages[@]}"
    # Qt keeps some memory until the process ends; only real faults count here.
    ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir "$root/build-asan" --output-on-failure -j"$(nproc)"
    ;;
fuzz)
    bash "$root/scripts/fuzz.sh" "${2:-300}"
    ;;
*)
    bash "$root/scripts/setup.sh" "${test_packages[@]}"
    ctest --test-dir "$root/build" --output-on-failure -j"$(nproc)"
    bash "$root/scripts/fuzz.sh" 20
    ;;
esac
