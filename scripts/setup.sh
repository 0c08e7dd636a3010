#!/usr/bin/env bash
# Installs what is missing on Debian 12 and builds Tesselkraft into build/
# (with --asan: a debug build with AddressSanitizer and UBSan into build-asan/).
# Extra packages to install may be passed as arguments.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build
config=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = --asan ]; then
    shift
    build=$root/build-asan
    config=(-DCMAKE_BUILD_TYPE=Debug -DTESSELKRAFT_SANITIZE=ON)
fi

bash "$root/scripts/install.sh" cmake g++ make qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n \
    fonts-wqy-microhei libjpeg62-turbo-dev zlib1g-dev liblzma-dev pkgconf liblcms2-dev \
    libgs-common libheif-dev libwebp-dev libtiff-dev "$@"

cmake -S "$root" -B "$build" "${config[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
