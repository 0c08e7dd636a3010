#!/usr/bin/env bash
# Times tesselkraft-cut against ImageMagick and djpeg on the sample photos, side by side,
# and checks its targets. Exits non-zero when a target is missed or an output is wrong.
set -euo pipefail
export LC_ALL=C # a point, not a comma, in $EPOCHREALTIME and printf
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${RUNS:-7}

bash "$root/scripts/setup.sh" imagemagick libjpeg-turbo-progs time >/dev/null
cmake --build "$root/build" --target tk_bench -j"$(nproc)" >/dev/null
out=$root/bench/out
"$root/build/bench/tk_bench" generate "$out" >/dev/null
cutter=$root/build/tesselkraft-cut
convert=/usr/bin/convert # Debian's own binary; PATH may find a wrapper first
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The 8 tiles as X Y W H in preview twips (inner preview 5940x2940).
tiles=$(awk 'BEGIN {
    C = 1485; R = 1470
    print 0, 0, C - 2, R - 2;              print C + 2, 0, C - 4, R - 2
    print 2 * C + 2, 0, C - 4, R - 2;      print 3 * C + 2, 0, C - 2, R - 2
    print 0, R + 2, C - 2, R - 2;          print C + 2, R + 2, C - 4, R - 4
    print 2 * C + 2, R + 2, C - 4, R - 4;  print 3 * C + 2, R + 2, C - 2, R - 2 }')

# Crop geometries of the tiles in a W x H picture stretched over the 6000x3000-twip
# preview, keeping KEPT of each 2250 twips of tile (the canvas keeps its inner 2190);
# edges round to whole pixels as the cutter rounds its full-resolution regions.
crops() {
    awk -v W="$1" -v H="$2" -v kept="$3" 'function edge(v) { return int(v + 0.5) } {
        k = kept / 2250
        l = edge($1 / 6000 * W); r = edge(($1 + $3 * k) / 6000 * W)
        t = edge($2 / 3000 * H); b = edge(($2 + $4 * k) / 3000 * H)
        printf "%dx%d+%d+%d\n", r - l, b - t, l, t }' <<<"$tiles"
}
# ImageMagick crops whole preview pixels where the cutter samples sub-pixel rectangles.
mapfile -t preview_crops < <(crops 400 200 2250)

# Sets `cmd` to job $1 on picture $2, writing into folder $3.
command_for() {
    local job=$1 picture=$2 dir=$3 crop
    case $job in
    cut) cmd=("$cutter" --quiet --out "$dir" "$picture") ;;
    cut-1080) cmd=("$cutter" --quiet --size 1080 --out "$dir" "$picture") ;;
    djpeg) cmd=(djpeg -scale 1/8 "$picture") ;;
    convert | convert-hint)
        cmd=("$convert")
        # Lets libjpeg decode at a DCT scale that still covers 800x400.
        [ "$job" = convert ] || cmd+=(-define jpeg:size=800x400)
        cmd+=("$picture" -resize '400x200!' -crop 396x196+0+0 +repage)
        for crop in "${preview_crops[@]}"; do
            cmd+=('(' -clone 0 -crop "$crop" +repage -resize '150x150!' -crop 146x146+0+0 +repage ')')
        done
        cmd+=(-delete 0 -quality 95 -scene 1 "$dir/%d.jpg")
        ;;
    convert-1080)
        # No hint here: it only divides by whole numbers, and 1/2 would leave too few pixels.
        cmd=("$convert" "$picture")
        for crop in "${full_crops[@]}"; do
            cmd+=('(' -clone 0 -crop "$crop" +repage -resize '1080x1080!' ')')
        done
        cmd+=(-delete 0 -quality 95 -scene 1 "$dir/%d.jpg")
        ;;
    esac
}

# 8 tiles of the expected size in folder $2 after job $1, or an error.
check_output() {
    local want=146 files sizes
    case $1 in djpeg) return 0 ;; *1080) want=1080 ;; esac
    files=("$2"/*)
    sizes=$(identify -format '%wx%h\n' "${files[@]}" | sort -u)
    if [ "${#files[@]}" -ne 8 ] || [ "$sizes" != "${want}x$want" ]; then
        echo "$1 on $picture: ${#files[@]} files, sizes ${sizes//$'\n'/ }" >&2
        return 1
    fi
}

median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ok() { awk "BEGIN { exit !($1) }"; }
ratio() { awk -v a="${ms[$1]}" -v b="${ms[$2]}" 'BEGIN { print a / b }'; } # of two jobs' medians

declare -A ms mb
failed=0 rows=() verdicts=()
target() { # description, measured text, condition
    local verdict=PASS
    ok "$3" || { verdict=FAIL && failed=1; }
    verdicts+=("$(printf '%-56s %12s  %s' "$1" "$2" "$verdict")")
}

for picture in "$out"/photo-12mp.jpg "$out"/photo-48mp.jpg "$out"/photo-12mp.png; do
    name=$(basename "$picture")
    read -r width height < <(identify -format '%w %h\n' "$picture")
    mapfile -t full_crops < <(crops "$width" "$height" 2190)
    jobs=(cut convert)
    [[ $name == *.jpg ]] && jobs+=(convert-hint djpeg)
    jobs+=(cut-1080 convert-1080)

    # One untimed run each warms the page cache and gives the peak memory and the tiles.
    for job in "${jobs[@]}"; do
        dir=$(mktemp -d "$scratch/run.XXXXXX")
        command_for "$job" "$picture" "$dir"
        /usr/bin/time -f %M -o "$scratch/rss" "${cmd[@]}" >/dev/null
        mb[$job]=$(awk '{ kb = $1 } END { printf "%.1f", kb / 1024 }' "$scratch/rss")
        check_output "$job" "$dir" || failed=1
        rm -rf "$dir" "$scratch/$job.ms"
    done
    # Rounds through every job, so a busy spell on the machine hits them all alike.
    for ((i = 0; i < runs; i++)); do
        for job in "${jobs[@]}"; do
            dir=$(mktemp -d "$scratch/run.XXXXXX")
            command_for "$job" "$picture" "$dir"
            start=$EPOCHREALTIME
            "${cmd[@]}" >/dev/null
            awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print (b - a) * 1000 }' >>"$scratch/$job.ms"
            rm -rf "$dir"
        done
    done
    for job in "${jobs[@]}"; do
        ms[$job]=$(median <"$scratch/$job.ms")
    done
    for job in "${jobs[@]}"; do
        base="cut"
        [[ $job == *1080 ]] && base=cut-1080
        rows+=("$(printf '%-16s %-14s %10.1f %8.2f %9s' "$name" "$job" "${ms[$job]}" \
            "$(ratio "$job" "$base")" "${mb[$job]}")")
    done

    need=5
    ((width * height >= 40000000)) && need=8
    speedup=$(ratio convert cut)
    if [[ $name == *.jpg ]]; then
        target "$name: cut >= ${need}x faster than convert" "$(printf '%.2fx' "$speedup")" "$speedup >= $need"
        target "$name: cut not slower than convert-hint" \
            "$(printf '%.0f/%.0f ms' "${ms[cut]}" "${ms[convert-hint]}")" "${ms[cut]} <= ${ms[convert-hint]}"
        limit=$(awk -v d="${ms[djpeg]}" 'BEGIN { printf "%.1f", 1.2 * d + 20 }')
        target "$name: cut <= 1.2 x djpeg + 20 ms" \
            "$(printf '%.0f/%.0f ms' "${ms[cut]}" "$limit")" "${ms[cut]} <= $limit"
    else
        # The speed targets are for photos; a PNG's time is zlib's, shown for reference.
        verdicts+=("$(printf '%-56s %12s  %s' "$name: cut vs convert" "$(printf '%.2fx' "$speedup")" info)")
    fi
    target "$name: cut peak < 40 MB" "${mb[cut]} MB" "${mb[cut]} < 40"
    if ((width * height >= 40000000)); then
        speedup=$(ratio convert-1080 cut-1080)
        target "$name: cut-1080 >= 3x faster than convert-1080" "$(printf '%.2fx' "$speedup")" "$speedup >= 3"
        target "$name: cut-1080 peak < 250 MB" "${mb[cut-1080]} MB" "${mb[cut-1080]} < 250"
    fi
done

echo "wall time: median of $runs runs, process start included; x cut: time / the cutter's"
printf '%-16s %-14s %10s %8s %9s\n' picture job 'median ms' 'x cut' 'peak MB'
printf '%s\n' "${rows[@]}"
echo
printf '%-56s %12s  %s\n' target measured verdict
printf '%s\n' "${verdicts[@]}"
exit "$failed"
