#!/usr/bin/env bash
# Drives the real program in a real X server, started in an empty folder: it writes its
# companion files and asks for the ad page; choose a picture in the open dialog, show
# the cut lines, cut, and check the eight tiles on disk. Meanwhile, in a second X server,
# a copy of that program folder starts with the picture named on the command line (a
# name that is no text) and cuts that.
# Usage: e2e_xvfb.sh TESSELKRAFT MAKEPICTURE E2EHELPER [SCREENSHOT_DIR]
set -euo pipefail
app=$1 makepicture=$2 helper=$3 shots=${4:-}
work=$(mktemp -d)
# A first start: no choices remembered from an earlier run.
export XDG_CONFIG_HOME=$work/config
# The program writes its companion files beside itself: a folder of its own, empty.
mkdir "$work/program"
cp "$app" "$work/program/tesselkraft"
app=$work/program/tesselkraft
pid="" pids=()
trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null; for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"' EXIT
. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"
x_server first
x_server second

# An ad page with one enabled ad, and a URL opener that only writes down what it gets.
printf '总数：1<br>总开关：开<br>广告位1(开)<a href="http://ads.example/one" target="_blank">1</a>' \
    >"$work/ads.html"
"$helper" serve "$work/ads.html" >"$work/ads.log" &
pids+=($!)
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
export TESSELKRAFT_AD_URL PATH="$work/bin:$PATH"
QT_QPA_PLATFORM=offscreen "$makepicture" "$work/photo.png" 1600 800
served() { [ -s "$work/ads.log" ]; }
wait_until 5 served || { echo "the ad page server did not start"; exit 1; }
TESSELKRAFT_AD_URL=$(head -1 "$work/ads.log")
for x in first second; do
    wait_until 10 x_ready "$x" || { echo "the X server did not start"; exit 1; }
done
export DISPLAY
DISPLAY=$(x_display first)

# wait_for TITLE: the window of that title once it is on the screen.
wait_for() { timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1; }
has_keyboard() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
# Screenshots by hand only; the moment lets the last click's painting finish.
shot() { [ -z "$shots" ] || { sleep 0.5 && import -window root "$shots/$1.png"; }; }
click_at() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; }
# answer TITLE KEY: presses KEY in the box of that title once it has the keyboard, and
# waits until the box has gone.
answer() {
    local box
    box=$(wait_for "$1")
    wait_until 5 has_keyboard "$box" || { echo "$1 does not have the keyboard"; exit 1; }
    xdotool key "$2"
    wait_until 5 gone "$1" || { echo "$1 stays"; exit 1; }
}

env -u QT_QPA_PLATFORM "$app" &
pid=$!
window=$(wait_for '^Tesselkraft$')
eval "$(xdotool getwindowgeometry --shell "$window")"
shot start

# Beside the program: its six companion files. The ad page was asked for, its ad opened.
for name in VeskoSkin.dll Vesko.Skin License.txt ReadMe.txt WhatsNew.txt 广告合作及其协议.txt; do
    [ -s "$work/program/$name" ] || { echo "companion file $name missing"; exit 1; }
done
for _ in $(seq 50); do [ -s "$work/opened" ] && break; sleep 0.1; done
[ "$(cat "$work/opened" 2>/dev/null)" = http://ads.example/one ] || { echo "ad not opened"; exit 1; }
[ "$(($(wc -l <"$work/ads.log") - 1))" -eq 1 ] || { echo "ad page not asked once"; exit 1; }

# "Open with", side by side: the picture named on the command line is in the preview at
# once, found by its name's bytes where they are no text (here Latin-1); and a named
# pipe where the skin was written holds nothing up.
open_with() {
    "$app" "$latin1" &
    pid=$!
    window=$(wait_for '^Tesselkraft$')
    eval "$(xdotool getwindowgeometry --shell "$window")"
    click_at 340 21 # 生成图片
    wait_for '^恭喜:$' >/dev/null
    [ -s "$work/open/8.jpg" ] || { echo "picture from the command line not cut"; exit 1; }
    echo "picture from the command line cut"
}
mkdir -p "$work/open/program"
cp -p "$work/program"/* "$work/open/program/"
rm "$work/open/program/Vesko.Skin"
mkfifo "$work/open/program/Vesko.Skin"
latin1=$work/open/caf$'\xe9'.png
cp "$work/photo.png" "$latin1"
(
    app=$work/open/program/tesselkraft pid=""
    trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true' EXIT
    DISPLAY=$(x_display second)
    open_with
) >"$work/open.out" 2>&1 &
opened=$!

click_at 56 21 # 选择图片
dialog=$(wait_for '^打开$')
wait_until 5 has_keyboard "$dialog" || { echo "the open dialog does not have the keyboard"; exit 1; }
# The dialog moves into a typed folder on its own time and keeps only the name; a Return
# that comes first (a slow, sanitised build) finds no such file and the dialog stays, its
# field emptied. Then the path is typed again, now into the right folder.
chosen=""
for _ in 1 2 3; do
    xdotool key ctrl+a
    xdotool type --delay 5 "$work/photo.png"
    xdotool key Return
    # The clicks below reach the window once the dialog has gone; they wait behind the load.
    if wait_until 10 gone '^打开$'; then chosen=yes && break; fi
done
[ -n "$chosen" ] || { echo "the open dialog stays"; exit 1; }

click_at 150 20 # 效果预览
shot preview

click_at 340 21 # 生成图片
wait_for '^恭喜:$' >/dev/null
shot done
answer '^恭喜:$' Return

kill -0 "$pid" # still running
for k in 1 2 3 4 5 6 7 8; do
    magic=""
    LC_ALL=C read -r -N 2 magic <"$work/$k.jpg" || true
    [ "$magic" = $'\xff\xd8' ] || { echo "tile $k is not a JPEG"; exit 1; }
done
echo "companion files, ad slot and eight JPEG tiles"

wait "$opened" || { cat "$work/open.out"; exit 1; }
cat "$work/open.out"
