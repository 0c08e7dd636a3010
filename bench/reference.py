#!/usr/bin/python3
# Mean difference per tile (levels of 255, over all pixels and channels) between a cut's
# PNG tiles 1.png ... and PIL's Lanczos resample of the same regions of the picture,
# decoded whole and upright: an oracle that shares no code with the cutter.
#   reference.py PICTURE SIDE FOLDER < regions   (lines of "x y width height" fractions)
# Prints the tiles' differences, then their mean.
import sys

from PIL import Image, ImageChops, ImageOps, ImageStat

picture, side, folder = sys.argv[1], int(sys.argv[2]), sys.argv[3]
image = ImageOps.exif_transpose(Image.open(picture)).convert("RGB")
width, height = image.size
diffs = []
for i, line in enumerate(sys.stdin):
    x, y, w, h = map(float, line.split())
    box = (x * width, y * height, (x + w) * width, (y + h) * height)
    want = image.resize((side, side), Image.LANCZOS, box=box)
    tile = Image.open(f"{folder}/{i + 1}.png").convert("RGB")
    diffs.append(sum(ImageStat.Stat(ImageChops.difference(tile, want)).mean) / 3)
print(" ".join(f"{d:.2f}" for d in diffs), f"{sum(diffs) / len(diffs):.2f}")
