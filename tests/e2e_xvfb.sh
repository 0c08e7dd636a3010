#!/usr/bin/env bash
# Drives the real program in a real X server: choose a picture in the open dialog,
# show the cut lines, cut, and check the eight tiles on disk.
# Usage: e2e_xvfb.sh TESSELKRAFT MAKEPICTURE [SCREENSHOT_DIR]
set -euo pipefail
app=$1 makepicture=$2 shots=${3:-}
work=$(mktemp -d)
pid=""
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

QT_QPA_PLATFORM=offscreen "$makepicture" "$work/photo.png" 1600 800

wait_for() { timeout 20 xdotool search --sync --name "$1" | head -1; }
shot() { [ -z "$shots" ] || import -window root "$shots/$1.png"; }
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }

env -u QT_QPA_PLATFORM "$app" &
pid=$!
window=$(wait_for '^Tesselkraft$')
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"
shot start

click_at 56 21 # 选择图片
wait_for '^打开$' >/dev/null
sleep 1
xdotool type --delay 5 "$work/photo.png"
xdotool key Return
sleep 1.5

click_at 150 20 # 效果预览
sleep 0.5
shot preview

click_at 340 21 # 生成图片
wait_for '^恭喜:$' >/dev/null
shot done
xdotool key Return
sleep 0.5

kill -0 "$pid" # still running
for k in 1 2 3 4 5 6 7 8; do
    magic=$(head -c 2 "$work/$k.jpg" | od -An -tx1 | tr -d ' ')
    [ "$magic" = ffd8 ] || { echo "tile $k is not a JPEG ($magic)"; exit 1; }
done
echo "eight JPEG tiles written"
