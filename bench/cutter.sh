#!/usr/bin/env bash
# Times tesselkraft-cut against ImageMagick, djpeg and libvips on the sample photos and on
# real photos from Debian's wallpapers, side by side, measures how far its full-resolution
# tiles are from PIL's Lanczos resample of the same regions, and checks its targets.
# Exits non-zero when a target is missed or an output is wrong.
set -euo pipefail
export LC_ALL=C # a point, not a comma, in $EPOCHREALTIME and printf
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${RUNS:-7}

# mate-backgrounds: real detailed photos (Debian's elephant wallpapers among them).
bash "$root/scripts/setup.sh" imagemagick libjpeg-turbo-progs time libvips-dev python3-pil \
    mate-backgrounds >/dev/null
cmake --build "$root/build" --target tk_bench tk_vipscut -j"$(nproc)" >/dev/null
out=$root/bench/out
bench=$root/build/bench/tk_bench
"$bench" generate "$out" >/dev/null
cutter=$root/build/tesselkraft-cut
vipscut=$root/build/bench/tk_vipscut
python=/usr/bin/python3 # Debian's, with python3-pil
wallpapers=/usr/share/backgrounds/mate
real=("$wallpapers"/abstract/Elephants_5640x3172.jpg "$wallpapers"/abstract/Elephants_3840x2160.jpg)
batch=("$wallpapers"/abstract/Elephants.jpg "$wallpapers"/nature/*.jpg)
convert=/usr/bin/convert # Debian's own binary; PATH may find a wrapper first
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for grid in 4x2 3x3; do "$bench" regions $grid >"$scratch/$grid"; done

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
    cut-3x3) cmd=("$cutter" --quiet --grid 3x3 --size 1080 --out "$dir" "$picture") ;;
    djpeg) cmd=(djpeg -scale 1/8 "$picture") ;;
    djpeg-full) cmd=(djpeg "$picture") ;;
    vips-1080) cmd=("$vipscut" "$picture" 1080 "$dir" "$scratch/4x2") ;;
    vips-3x3) cmd=("$vipscut" "$picture" 1080 "$dir" "$scratch/3x3") ;;
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

# The tiles of the expected count and size in folder $2 after job $1, or an error.
check_output() {
    local want=146 count=8 files sizes
    case $1 in djpeg*) return 0 ;; *1080) want=1080 ;; *3x3) want=1080 count=9 ;; esac
    files=("$2"/*)
    sizes=$(identify -format '%wx%h\n' "${files[@]}" | sort -u)
    if [ "${#files[@]}" -ne "$count" ] || [ "$sizes" != "${want}x$want" ]; then
        echo "$1 on $picture: ${#files[@]} files, sizes ${sizes//$'\n'/ }" >&2
        return 1
    fi
}

median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ok() { awk "BEGIN { exit !($1) }"; }
ratio() { awk -v a="${ms[$1]}" -v b="${ms[$2]}" 'BEGIN { print a / b }'; } # of two jobs' medians

declare -A ms mb cpu
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
failed=0 rows=() verdicts=()
target() { # description, measured text, condition
    local verdict=PASS
    ok "$3" || { verdict=FAIL && failed=1; }
    verdicts+=("$(printf '%-56s %12s  %s' "$1" "$2" "$verdict")")
}

# Mean differences from PIL's Lanczos (bench/reference.py) of the cutter's and libvips'
# full-resolution tiles of picture $1 (saved as PNG, so no JPEG loss counts), one line:
# cutter 4x2, cutter 3x3, vips 4x2, vips 3x3, each the mean over its tiles.
quality() {
    local grid dir line
    for grid in 4x2 3x3; do
        dir=$(mktemp -d "$scratch/q.XXXXXX")
        "$cutter" --quiet --grid "$grid" --size 1080 --format png --out "$dir" "$1"
        line=$("$python" "$root/bench/reference.py" "$1" 1080 "$dir" <"$scratch/$grid")
        q_cut[$grid]=${line##* }
        rm -rf "$dir"
        dir=$(mktemp -d "$scratch/q.XXXXXX")
        "$vipscut" "$1" 1080 "$dir" "$scratch/$grid" png
        line=$("$python" "$root/bench/reference.py" "$1" 1080 "$dir" <"$scratch/$grid")
        q_vips[$grid]=${line##* }
        rm -rf "$dir"
    done
}
declare -A q_cut q_vips
qrows=()

for picture in "$out"/photo-12mp.jpg "$out"/photo-48mp.jpg "$out"/photo-12mp.png "${real[@]}"; do
    name=$(basename "$picture")
    read -r width height < <(identify -format '%w %h\n' "$picture")
    mapfile -t full_crops < <(crops "$width" "$height" 2190)
    synthetic=0
    [[ $picture == "$out"/* ]] && synthetic=1
    jobs=(cut)
    ((synthetic)) && jobs+=(convert)
    [[ $name == *.jpg ]] && ((synthetic)) && jobs+=(convert-hint)
    [[ $name == *.jpg ]] && jobs+=(djpeg djpeg-full)
    jobs+=(cut-1080 cut-3x3 vips-1080 vips-3x3)
    ((synthetic)) && jobs+=(convert-1080)

    # One untimed run each warms the page cache and gives the peak memory and the tiles.
    for job in "${jobs[@]}"; do
        dir=$(mktemp -d "$scratch/run.XXXXXX")
        command_for "$job" "$picture" "$dir"
        /usr/bin/time -f %M -o "$scratch/rss" "${cmd[@]}" >/dev/null
        mb[$job]=$(awk '{ kb = $1 } END { printf "%.1f", kb / 1024 }' "$scratch/rss")
        check_output "$job" "$dir" || failed=1
        rm -rf "$dir" "$scratch/$job.ms" "$scratch/$job.cpu"
    done
    # Rounds through every job, so a busy spell on the machine hits them all alike.
    for ((i = 0; i < runs; i++)); do
        for job in "${jobs[@]}"; do
            dir=$(mktemp -d "$scratch/run.XXXXXX")
            command_for "$job" "$picture" "$dir"
            start=$EPOCHREALTIME
            /usr/bin/time -f '%U %S' -o "$scratch/cpu" "${cmd[@]}" >/dev/null
            awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print (b - a) * 1000 }' >>"$scratch/$job.ms"
            awk '{ print ($1 + $2) * 1000 }' "$scratch/cpu" >>"$scratch/$job.cpu"
            rm -rf "$dir"
        done
    done
    for job in "${jobs[@]}"; do
        ms[$job]=$(median <"$scratch/$job.ms")
        cpu[$job]=$(median <"$scratch/$job.cpu")
    done
    for job in "${jobs[@]}"; do
        base="cut"
        [[ $job == *1080 ]] && base=cut-1080
        [[ $job == *3x3 ]] && base=cut-3x3
        decode=nan
        [[ $name == *.jpg ]] && decode=$(ratio "$job" djpeg-full)
        rows+=("$(printf '%-26s %-14s %10.1f %8.2f %9.2f %9.0f %9s' "$name" "$job" "${ms[$job]}" \
            "$(ratio "$job" "$base")" "$decode" "${cpu[$job]}" "${mb[$job]}")")
    done
    quality "$picture"
    qrows+=("$(printf '%-26s %10s %10s %10s %10s' "$name" "${q_cut[4x2]}" "${q_cut[3x3]}" \
        "${q_vips[4x2]}" "${q_vips[3x3]}")")
    target "$name: cut-1080 and cut-3x3 within 1.0 of Lanczos" \
        "${q_cut[4x2]}/${q_cut[3x3]}" "${q_cut[4x2]} <= 1.0 && ${q_cut[3x3]} <= 1.0"

    if ((synthetic)); then
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
    fi
    if ((width * height >= 40000000)); then
        speedup=$(ratio convert-1080 cut-1080)
        target "$name: cut-1080 >= 3x faster than convert-1080" "$(printf '%.2fx' "$speedup")" "$speedup >= 3"
        target "$name: cut-1080 peak < 250 MB" "${mb[cut-1080]} MB" "${mb[cut-1080]} < 250"
        for job in cut-1080:1.3 cut-3x3:1.4; do
            decode=$(ratio "${job%:*}" djpeg-full)
            target "$name: ${job%:*} <= ${job#*:} x djpeg (whole decode)" \
                "$(printf '%.2fx' "$decode")" "$decode <= ${job#*:}"
        done
    fi
done

# A batch of real photos: the cutter's one run over them all (it cuts pictures side by
# side) against djpeg decoding each whole and libvips cutting each, one after another.
batch_jobs=(cut-1080 djpeg-full vips-1080)
batch_command() { # job, folder
    case $1 in
    cut-1080) "$cutter" --quiet --size 1080 --out "$2" "${batch[@]}" ;;
    djpeg-full) for p in "${batch[@]}"; do djpeg "$p"; done >/dev/null ;;
    vips-1080)
        for p in "${batch[@]}"; do
            mkdir -p "$2/$(basename "$p")" && "$vipscut" "$p" 1080 "$2/$(basename "$p")" "$scratch/4x2"
        done
        ;;
    esac
}
for job in "${batch_jobs[@]}"; do
    dir=$(mktemp -d "$scratch/batch.XXXXXX")
    /usr/bin/time -f %M -o "$scratch/rss" bash -c "$(declare -f batch_command); $(declare -p cutter vipscut batch scratch); batch_command $job $dir"
    mb[batch-$job]=$(awk '{ kb = $1 } END { printf "%.1f", kb / 1024 }' "$scratch/rss")
    rm -rf "$dir" "$scratch/batch-$job.ms"
done
for ((i = 0; i < runs; i++)); do
    for job in "${batch_jobs[@]}"; do
        dir=$(mktemp -d "$scratch/batch.XXXXXX")
        start=$EPOCHREALTIME
        batch_command "$job" "$dir"
        awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { print (b - a) * 1000 }' >>"$scratch/batch-$job.ms"
        rm -rf "$dir"
    done
done
for job in "${batch_jobs[@]}"; do
    ms[batch-$job]=$(median <"$scratch/batch-$job.ms")
done
name="batch of ${#batch[@]} photos"
for job in "${batch_jobs[@]}"; do
    rows+=("$(printf '%-26s %-14s %10.1f %8.2f %9.2f %9s %9s' "$name" "$job" "${ms[batch-$job]}" \
        "$(ratio "batch-$job" batch-cut-1080)" "$(ratio "batch-$job" batch-djpeg-full)" - \
        "${mb[batch-$job]}")")
done
# Each column's mean over the batch, and the cutter's worst picture.
declare -A qsum
worst=0
for picture in "${batch[@]}"; do
    quality "$picture"
    for grid in 4x2 3x3; do
        qsum[cut$grid]=$(awk -v a="${qsum[cut$grid]:-0}" -v b="${q_cut[$grid]}" 'BEGIN { print a + b }')
        qsum[vips$grid]=$(awk -v a="${qsum[vips$grid]:-0}" -v b="${q_vips[$grid]}" 'BEGIN { print a + b }')
        worst=$(awk -v a="$worst" -v b="${q_cut[$grid]}" 'BEGIN { print (b > a ? b : a) }')
    done
done
mean() { awk -v s="${qsum[$1]}" -v n="${#batch[@]}" 'BEGIN { printf "%.2f", s / n }'; }
qrows+=("$(printf '%-26s %10s %10s %10s %10s' "$name (mean)" "$(mean cut4x2)" "$(mean cut3x3)" \
    "$(mean vips4x2)" "$(mean vips3x3)")")
target "$name: every cut within 1.0 of Lanczos (worst)" "$worst" "$worst <= 1.0"

echo "wall time: median of $runs runs, process start included; x cut: time / the cutter's (same wall);"
echo "x decode: time / djpeg decoding the whole picture; cpu ms: user + system, median"
echo "load average before / after: $load_before / $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
printf '%-26s %-14s %10s %8s %9s %9s %9s\n' picture job 'median ms' 'x cut' 'x decode' 'cpu ms' \
    'peak MB'
printf '%s\n' "${rows[@]}"
echo
echo "mean difference per tile from PIL's Lanczos of the whole decoded picture (levels of 255)"
printf '%-26s %10s %10s %10s %10s\n' picture 'cut 4x2' 'cut 3x3' 'vips 4x2' 'vips 3x3'
printf '%s\n' "${qrows[@]}"
echo
printf '%-56s %12s  %s\n' target measured verdict
printf '%s\n' "${verdicts[@]}"
exit "$failed"
