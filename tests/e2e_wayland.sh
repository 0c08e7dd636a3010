#!/usr/bin/env bash
# Drives the update window of the real program on a Wayland desktop (sway, headless)
# against a version page served on 127.0.0.1: the strip shows its bar and status line in
# their own colours with nothing of the key colour around them, stands on the main window
# wherever that is, leaves the keyboard with it, and goes when the main window is closed.
# Usage: e2e_wayland.sh TESSELKRAFT E2EHELPER [SCREENSHOT_DIR]
# Exits with 77 (skipped) where Qt's Wayland platform is not installed.
set -euo pipefail
app=$1 helper=$2 shots=${3:-}
work=$(mktemp -d)
# The program writes its companion files beside itself: a folder of its own, empty.
mkdir "$work/program" "$work/shots"
mkdir -m 700 "$work/run"
cp "$app" "$work/program/tesselkraft"
app=$work/program/tesselkraft
# The desktop's own runtime folder: sway refuses to run as root, so there it runs as
# nobody, who must own the folder.
desk=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work" "$desk"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

# The page server starts while the desktop does.
echo '<html><body>Ver13.11.06</body></html>' >"$work/same.html"
"$helper" serve "$work/same.html" >"$work/serve.log" &
pids+=($!)

printf '%s\n' 'output HEADLESS-1 resolution 1024x768' 'default_border none' \
    'default_floating_border none' 'xwayland disable' >"$desk/config"
as_desktop=()
if [ "$(id -u)" = 0 ]; then
    chown -R nobody "$desk"
    as_desktop=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
fi
# No GPU needed: the software renderer, no input devices but the typed keys below.
"${as_desktop[@]}" env -i PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$desk" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$desk/config" >"$work/sway.log" 2>&1 &
pids+=($!)
socket() { ls "$desk"/wayland-? 2>/dev/null | head -1; }
ipc() { ls "$desk"/sway-ipc.*.sock 2>/dev/null | head -1; }
up() { [ -n "$(socket)" ] && [ -n "$(ipc)" ]; }
wait_until 20 up || fail "sway did not start: $(tail -3 "$work/sway.log")"
export WAYLAND_DISPLAY=$(socket) SWAYSOCK=$(ipc) XDG_RUNTIME_DIR=$work/run
# A first start: no choices remembered from an earlier run.
export XDG_CONFIG_HOME=$work/config
unset DISPLAY

served() { [ -s "$work/serve.log" ]; }
wait_until 5 served || fail "the page server did not start"

# The Tesselkraft window the desktop manages: the main window (the strip is no window of
# its own to the desktop).
main_window() { swaymsg -q '[title="^Tesselkraft$"] focus' 2>/dev/null; }
notice() { swaymsg -q '[title="^通知:$"] focus' 2>/dev/null; }
# Keys go to the window that has the keyboard.
keys() { wtype "$@"; }
# shot NAME: a screenshot, read into BLUE STATUS BAR_X BAR_Y WIN_X WIN_Y WIN_W WIN_H.
shot() {
    grim -t ppm "$work/shots/$1.ppm"
    [ -z "$shots" ] || grim "$shots/wayland-$1.png"
    read -r BLUE STATUS BAR_X BAR_Y WIN_X WIN_Y WIN_W WIN_H < <("$helper" shot "$work/shots/$1.ppm")
}
bar_shows() { shot "$1" && [ "$BAR_X" -ge 0 ]; }

# Each wtype brings a keyboard of its own and takes it away again; one that stays for the
# whole run keeps the program from losing and finding the keyboard around every key.
wtype -s 600000 &
pids+=($!)

TESSELKRAFT_VERSION_URL=$(head -1 "$work/serve.log") TESSELKRAFT_AD_URL= QT_QPA_PLATFORM=wayland \
    "$app" >"$work/app.log" 2>&1 &
pid=$!
pids+=($pid)
if ! wait_until 20 main_window; then
    grep -q 'platform plugin "wayland"' "$work/app.log" && {
        echo "Qt's Wayland platform (qt6-wayland) is not installed: skipped"
        exit 77
    }
    fail "no main window: $(tail -3 "$work/app.log")"
fi
# Away from the middle of the screen, where the desktop would put a window of its own.
swaymsg -q '[title="^Tesselkraft$"] move position 0 0'
in_corner() { shot moved && [ "$WIN_X" = 0 ] && [ "$WIN_Y" = 0 ]; }
wait_until 5 in_corner || fail "the main window did not move to the corner ($WIN_X,$WIN_Y)"

# The preview has the keyboard; four tabs on is 检查更新.
keys -k Tab -k Tab -k Tab -k Tab -s 100 -k space
wait_until 5 bar_shows strip || fail "no bar on the screen"
[ "$BLUE" = 0 ] || fail "$BLUE pixels of the key colour show"
((STATUS > 50)) || fail "no status line in its green ($STATUS pixels)"
# The strip (312 × 46, the bar at its corner) stands on the middle of the main window;
# the window's title bar is drawn above its client area, hence the slack.
dx=$((BAR_X + 156 - WIN_X - WIN_W / 2)) dy=$((BAR_Y + 23 - WIN_Y - WIN_H / 2))
((dx * dx + dy * dy < 400)) || fail "the strip is off the main window's middle by $dx,$dy"

# The keyboard stayed: one tab back is the check box, which asks for a picture first.
keys -M shift -k Tab -m shift -s 100 -k space
wait_until 5 notice || fail "the keys did not reach the main window"
bar_shows notice || fail "the strip had gone before the keys came: nothing was shown"
keys -k Return
wait_until 5 bash -c "! swaymsg -q '[title=\"^通知:\$\"] focus' 2>/dev/null" || fail "the notice stays"

# A second check once the first has closed; closing the main window meanwhile ends the
# program, strip and all.
bar_gone() { shot "$1" && [ "$BAR_X" -lt 0 ]; }
wait_until 10 bar_gone closed || fail "the strip stays"
keys -k Tab -s 100 -k space
wait_until 5 bar_shows again || fail "no bar on the second check"
swaymsg -q '[title="^Tesselkraft$"] kill'
wait_until 10 bash -c "! kill -0 $pid 2>/dev/null" || fail "closing the main window did not end the program"
wait "$pid" || fail "the program ended with status $?"
[ "$(($(wc -l <"$work/serve.log") - 1))" = 2 ] || fail "$(($(wc -l <"$work/serve.log") - 1)) requests"
echo "update strip on Wayland: seen through, on the main window, keyboard left alone, ends with it"
