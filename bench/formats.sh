#!/usr/bin/env bash
# Decoding the newer formats: a 12 MP photo as HEIC, AVIF, WebP and TIFF (8- and 16-bit),
# each read at full size and at the preview's size (time, peak memory and the reader's
# estimate of it); then the cutter's default cut of the HEIC against heif-convert turning
# it into a JPEG. Exits non-zero when the cut is slower than heif-convert.
set -euo pipefail
export LC_ALL=C # a point, not a comma, in $EPOCHREALTIME and printf
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=${RUNS:-7}

bash "$root/scripts/setup.sh" libheif-examples webp imagemagick time >/dev/null
cmake --build "$root/build" --target tk_bench -j"$(nproc)" >/dev/null
bench=$root/build/bench/tk_bench cutter=$root/build/tesselkraft-cut
out=$root/bench/out
"$bench" generate "$out" >/dev/null
photo=$out/photo-12mp.jpg formats=$out/formats
mkdir -p "$formats"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Made once from the sample photo and kept: encoding takes far longer than decoding.
[ -s "$formats/photo-12mp.heic" ] || heif-enc -q 85 "$photo" -o "$formats/photo-12mp.heic" >/dev/null
[ -s "$formats/photo-12mp.avif" ] || heif-enc -A -q 85 -p speed=8 "$photo" -o "$formats/photo-12mp.avif" >/dev/null
[ -s "$formats/photo-12mp.webp" ] || cwebp -quiet -q 90 "$photo" -o "$formats/photo-12mp.webp"
[ -s "$formats/photo-12mp.tif" ] || /usr/bin/convert "$photo" -compress lzw "$formats/photo-12mp.tif"
[ -s "$formats/photo-12mp-16bit.tif" ] ||
    /usr/bin/convert "$photo" -depth 16 -compress lzw "$formats/photo-12mp-16bit.tif"

echo "== decoding through PictureReader (median of $runs; peaks and estimates in MB)"
for picture in "$formats"/photo-12mp.heic "$formats"/photo-12mp.avif "$formats"/photo-12mp.webp \
    "$formats"/photo-12mp.tif "$formats"/photo-12mp-16bit.tif; do
    "$bench" decode "$picture" --runs "$runs"
done

median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
heic=$formats/photo-12mp.heic
# Rounds through both, so a busy spell on the machine hits them alike; CPU time beside
# the wall time, as the machine may be shared.
for ((i = 0; i < runs; i++)); do
    rm -rf "$scratch/tiles"
    /usr/bin/time -f '%e %U %S' -a -o "$scratch/cut" "$cutter" --quiet --out "$scratch/tiles" "$heic"
    /usr/bin/time -f '%e %U %S' -a -o "$scratch/convert" heif-convert "$heic" "$scratch/photo.jpg" >/dev/null
done
[ "$(find "$scratch/tiles" -name '*.jpg' | wc -l)" -eq 8 ] || { echo "the cut made no 8 tiles" >&2; exit 1; }
wall=() cpu=()
for job in cut convert; do
    wall[${#wall[@]}]=$(awk '{ print $1 }' "$scratch/$job" | median)
    cpu[${#cpu[@]}]=$(awk '{ print $2 + $3 }' "$scratch/$job" | median)
done
printf '\n%-40s %10s %10s\n' "12 MP HEIC, median of $runs" 'wall s' 'cpu s'
printf '%-40s %10.2f %10.2f\n' "tesselkraft-cut (the window's tiles)" "${wall[0]}" "${cpu[0]}"
printf '%-40s %10.2f %10.2f\n' "heif-convert to JPEG" "${wall[1]}" "${cpu[1]}"
if awk -v a="${cpu[0]}" -v b="${cpu[1]}" 'BEGIN { exit !(a <= b) }'; then
    echo "target: cut no slower than heif-convert  PASS"
else
    echo "target: cut no slower than heif-convert  FAIL"
    exit 1
fi
