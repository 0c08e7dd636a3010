#!/usr/bin/env bash
# Sets up, builds and starts Tesselkraft.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh" xvfb xauth
exec "$root/build/tesselkraft" "$@"
