#!/usr/bin/env bash
# Builds tk_bench, makes the sample photos in bench/out/ and checks intake and tile
# cutting against their targets. Exits non-zero when a target is missed.
set -euo pipefail
export LC_ALL=C # a point, not a comma, in $EPOCHREALTIME and printf
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${RUNS:-9}

bash "$root/scripts/setup.sh" libjpeg-turbo-progs
cmake --build "$root/build" --target tk_bench -j"$(nproc)" >/dev/null
bench=$root/build/bench/tk_bench
out=$root/bench/out
"$bench" generate "$out"

median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Median wall time in ms of `djpeg -scale 1/8 FILE`, process start included, after
# one untimed run that warms the page cache.
yardstick() {
    djpeg -scale 1/8 "$1" >/dev/null
    for ((i = 0; i < 7; i++)); do
        local start=$EPOCHREALTIME
        djpeg -scale 1/8 "$1" >/dev/null
        awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print (b - a) * 1000 }'
    done | median
}

# The value of `key` in a line of key=value pairs.
field() { tr ' ' '\n' <<<"$1" | sed -n "s/^$2=//p"; }

failed=0
rows=()
for picture in "$out"/photo-12mp.jpg "$out"/photo-48mp.jpg "$out"/photo-12mp.png; do
    line=$("$bench" measure "$picture" --runs "$runs")
    echo "$line"
    load=$(field "$line" load_ms)
    tiles=$(field "$line" tiles_ms)
    peak=$(field "$line" load_peak_mb)
    misses=()
    if [ "$(field "$line" format)" = jpeg ]; then
        stick=$(yardstick "$picture")
        ratio=$(awk -v a="$load" -v b="$stick" 'BEGIN { printf "%.2f", a / b }')
        awk -v r="$ratio" 'BEGIN { exit !(r <= 1.3) }' || misses+=(preview)
        stick=$(printf '%.1f' "$stick")
    else
        stick=n/a ratio=n/a
    fi
    awk -v t="$tiles" 'BEGIN { exit !(t < 20) }' || misses+=(tiles)
    awk -v m="$peak" 'BEGIN { exit !(m < 30) }' || misses+=(memory)
    verdict=PASS
    if ((${#misses[@]})); then
        verdict="FAIL(${misses[*]})"
        failed=1
    fi
    rows+=("$(printf '%-16s %11.1f %9s %6s %9.1f %10.1f  %s' "$(basename "$picture")" \
        "$load" "$stick" "$ratio" "$tiles" "$peak" "$verdict")")
done

echo
echo "targets: path->preview <= 1.3 x djpeg -scale 1/8 (JPEG only), 8 tiles < 20 ms, load adds < 30 MB"
printf '%-16s %11s %9s %6s %9s %10s  %s\n' picture 'preview ms' 'djpeg ms' ratio \
    'tiles ms' 'load MB' verdict
printf '%s\n' "${rows[@]}"
exit "$failed"
