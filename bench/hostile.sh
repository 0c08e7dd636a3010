#!/usr/bin/env bash
# Peak memory of the window's load path and of the cutter on picture bombs and a heavy
# batch, and the cutter's time on batches of same-named pictures. Exits non-zero when
# a figure misses its bound (1 GiB peak; planning linear in the batch).
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/setup.sh" time
cmake --build "$root/build" --target tk_bench -j"$(nproc)" >/dev/null
bench=$root/build/bench/tk_bench cutter=$root/build/tesselkraft-cut
probe=$root/build/tests/loadprobe
out=$root/bench/out/hostile
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$bench" hostile "$out" 2000

failed=0
# Runs a command, prints its exit status and peak memory in MB, and checks the bound.
peak() {
    local label=$1 status=0
    shift
    /usr/bin/time -f %M -o "$scratch/rss" "$@" >/dev/null 2>&1 || status=$?
    local mb
    mb=$(tail -n 1 "$scratch/rss" | awk '{ printf "%.1f", $1 / 1024 }')
    printf '%-44s exit %3d  peak %8s MB\n' "$label" "$status" "$mb"
    awk -v m="$mb" 'BEGIN { exit !(m < 1024) }' || failed=1
    rm -rf "$scratch/o"
}

echo "== peak memory (bound: 1024 MB)"
for bomb in bomb-progressive.jpg bomb-baseline.jpg bomb.png bomb.gif bomb.bmp hole.jpg \
    icon-png-14000.ico grey-14000.png gif-ending-early.gif scans-492.jpg; do
    peak "window load path: $bomb" "$probe" "$out/$bomb"
    peak "cutter: $bomb" "$cutter" --quiet --out "$scratch/o" "$out/$bomb"
    peak "cutter --grid 1x1 --size 10000: $bomb" "$cutter" --quiet --grid 1x1 --size 10000 \
        --out "$scratch/o" "$out/$bomb"
done
for i in 1 2 3; do cp "$out/heavy-9000.jpg" "$scratch/heavy$i.jpg"; done
peak "cutter, 3 x 9000x9000 progressive, 1x1 9000" "$cutter" --quiet --grid 1x1 --size 9000 \
    --out "$scratch/o" "$scratch"/heavy?.jpg
peak "cutter, 2 bombs, 1x1 10000" "$cutter" --quiet --grid 1x1 --size 10000 --out "$scratch/o" \
    "$out/bomb-progressive.jpg" "$out/bomb-baseline.jpg"

echo
echo "== scans of a 16000 x 16000 grey progressive JPEG against an ordinary 100-megapixel one"
echo "   (window load path; CPU seconds; a few seconds at most)"
for picture in scans-10.jpg scans-20.jpg scans-40.jpg scans-100.jpg scans-492.jpg \
    photo-100mp-progressive.jpg; do
    status=0
    /usr/bin/time -f '%U %e %M' -o "$scratch/cpu" "$probe" "$out/$picture" >/dev/null 2>&1 ||
        status=$?
    read -r user wall rss < <(tail -n 1 "$scratch/cpu")
    printf '%-30s exit %d  cpu %6s s  wall %6s s  peak %6d MB\n' "$picture" "$status" "$user" \
        "$wall" $((rss / 1024))
    awk -v u="$user" 'BEGIN { exit !(u < 5) }' || failed=1
done

echo
echo "== same-named pictures in one batch (--out): planning alone, and the whole run"
previous=""
for n in 500 1000 2000; do
    mapfile -t pictures < <(for ((i = 0; i < n; i++)); do echo "$out/batch/$i/x.jpg"; done)
    plan=$("$bench" plan "$scratch/o" "${pictures[@]}" | sed -n 's/.*plan_ms=//p')
    start=$EPOCHREALTIME
    "$cutter" --quiet --out "$scratch/o" "${pictures[@]}"
    total=$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }')
    printf '%5d pictures: planning %8.1f ms, whole run %6s s\n' "$n" "$plan" "$total"
    # Linear: twice the pictures may take at most three times as long to plan.
    if [ -n "$previous" ]; then
        awk -v a="$previous" -v b="$plan" 'BEGIN { exit !(b <= 3 * a + 5) }' || failed=1
    fi
    previous=$plan
    rm -rf "$scratch/o"
done
exit "$failed"
