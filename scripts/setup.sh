#!/usr/bin/env bash
# Installs what is missing on Debian 12 and builds Tesselkraft into build/.
# Extra packages to install may be passed as arguments.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$root/scripts/install.sh" cmake g++ make qt6-base-dev qt6-translations-l10n \
    fonts-wqy-microhei libjpeg62-turbo-dev liblzma-dev "$@"

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" -j"$(nproc)"
