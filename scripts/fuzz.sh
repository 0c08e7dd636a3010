#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one for
# SECONDS (default 20) on the inputs kept in tests/fuzz/corpus/<name>/.
# Usage: fuzz.sh [SECONDS] [NAME...]
# A crash or hang stops the run; its input is saved in build-fuzz/artifacts/ and
# belongs in tests/fuzz/corpus/<name>/ once understood and fixed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-20}
shift || true

bash "$root/scripts/install.sh" cmake make clang libclang-rt-14-dev qt6-base-dev \
    qt6-tools-dev qt6-l10n-tools libjpeg62-turbo-dev zlib1g-dev liblzma-dev pkgconf liblcms2-dev \
    libgs-common libheif-dev libwebp-dev libtiff-dev
build=$root/build-fuzz
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSELKRAFT_FUZZ=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" --target fuzzers -j"$(nproc)"

names=("$@")
if ((${#names[@]} == 0)); then
    # Programs only: the build keeps generated-code folders beside them.
    for target in "$build"/tests/fuzz/fuzz_*; do
        if [ -f "$target" ] && [ -x "$target" ]; then names+=("${target##*/fuzz_}"); fi
    done
fi
mkdir -p "$build/artifacts"
for name in "${names[@]}"; do
    corpus=$root/tests/fuzz/corpus/$name
    work=$build/corpus/$name # what the fuzzer finds stays out of the repository
    mkdir -p "$corpus" "$work"
    echo "== fuzz_$name for ${seconds}s"
    # A single allocation over 1 GiB is a fault: no input may take that much.
    log=$build/fuzz_$name.log
    if ! "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 \
        -malloc_limit_mb=1024 -rss_limit_mb=2560 -print_final_stats=0 \
        -artifact_prefix="$build/artifacts/$name-" "$work" "$corpus" >"$log" 2>&1; then
        grep -v '^INFO\|^#[0-9]' "$log" | tail -n 60
        echo "fuzz_$name failed; the input is in $build/artifacts/"
        exit 1
    fi
    tail -n 1 "$log"
done
