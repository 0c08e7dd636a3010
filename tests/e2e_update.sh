#!/usr/bin/env bash
# Drives the update window of the real program in a real X server against version pages
# served on 127.0.0.1: the same version, a newer one (Cancel, then OK) and, where a
# network namespace can be made, no network at all. The window shows no blue and leaves
# the keyboard with the main window. The three runs spend their time on the window's own
# clock, so each has an X server, a program folder and a page of its own, side by side.
# Usage: e2e_update.sh TESSELKRAFT E2EHELPER [SCREENSHOT_DIR]
set -euo pipefail
app=$1 helper=$2 shots=${3:-}
work=$(mktemp -d)
# A first start: no choices remembered from an earlier run.
export XDG_CONFIG_HOME=$work/config
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"' EXIT
. "$(dirname "${BASH_SOURCE[0]}")/e2e_common.sh"

# The desktop's URL opener stands aside: it only writes down its arguments.
mkdir "$work/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$#" "$@" >>"%s/opened"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

fail() { echo "FAIL: $*"; exit 1; }
shot() { [ -z "$shots" ] || import -window root "$shots/$1.png"; }
# serve NAME BODY: serves BODY; its address goes to $work/NAME.log's first line.
serve() {
    echo "$2" >"$work/$1.html"
    "$helper" serve "$work/$1.html" >"$work/$1.log" &
    pids+=($!)
}
address() { head -1 "$work/$1.log"; }
requests() { echo $(($(wc -l <"$work/$1.log") - 1)); }
milliseconds() { local now=${EPOCHREALTIME//[!0-9]/}; echo $((now / 1000)); }
start() { # start URL [WRAPPER...]
    local url=$1
    shift
    env -u QT_QPA_PLATFORM TESSELKRAFT_VERSION_URL="$url" PATH="$work/bin:$PATH" "$@" "$app" &
    pid=$!
    main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Tesselkraft$' | head -1)
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + 240)) $((Y + 20)) click 1 # 检查更新
}
# The update window: a visible 312 × 46 window named Tesselkraft.
strip() {
    local w
    for w in $(xdotool search --onlyvisible --name '^Tesselkraft$' 2>/dev/null); do
        xdotool getwindowgeometry "$w" 2>/dev/null | grep -q 'Geometry: 312x46' && { echo "$w"; return; }
    done
}
strip_shown() { [ -n "$(strip)" ]; }
# answer KEY: presses KEY in the download prompt once it has the keyboard, so a key
# pressed while a loaded machine is still showing the box is not lost elsewhere.
prompt_focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$prompt" ]; }
answer() {
    prompt=$(xdotool search --name '^更新提示：$' | head -1 || true)
    wait_until 5 prompt_focused || fail "the prompt does not have the keyboard"
    xdotool key "$1"
}
strip_gone() { [ -z "$(strip)" ]; }
# painted: the screen shows the strip's bar and status line; BLUE is the key colour's count.
painted() {
    local status bar_x _
    read -r BLUE status bar_x _ < <("$helper" screen)
    [ "$bar_x" -ge 0 ] && [ "$status" -gt 0 ]
}
looks_right() { # the strip shows no blue and the keyboard stays with the main window
    wait_until 5 strip_shown || fail "$1: no update window"
    wait_until 5 painted || fail "$1: the strip shows no bar and status line"
    shot "$1"
    [ "$BLUE" = 0 ] || fail "$1: blue shows"
    [ "$(xdotool getwindowfocus)" = "$main" ] || fail "$1: the update window took the keyboard"
}

same() {
    start "$(address same)"
    looks_right same
    wait_until 10 strip_gone || fail "same: the window stays"
    kill -0 "$pid" && kill "$pid" && wait "$pid" || true
    [ "$(requests same)" = 1 ] || fail "same: $(requests same) requests"
}

# The version page under an address spelt unusually: the browser gets it as written.
newer() {
    local address
    address=$(address newer | sed 's|^http:|HTTP:|')%41%7e
    start "$address"
    looks_right newer
    wait_until 10 xdotool search --name '^更新提示：$' >/dev/null || fail "newer: no prompt"
    shot prompt
    answer Escape
    wait_until 5 strip_gone || fail "cancel: the window stays"
    kill -0 "$pid" || fail "cancel ended the program"
    xdotool mousemove $((X + 240)) $((Y + 20)) click 1 # a fresh check
    wait_until 10 xdotool search --onlyvisible --name '^更新提示：$' >/dev/null || fail "no second prompt"
    answer Return
    wait_until 5 bash -c "! kill -0 $pid 2>/dev/null" || fail "OK did not end the program"
    wait "$pid" || fail "the program ended with status $?"
    [ "$(requests newer)" = 2 ] || fail "newer: $(requests newer) requests"
    # The opener runs detached: it may still be starting when the program has ended.
    wait_until 5 test -s "$work/opened" || fail "nothing was handed over"
    [ "$(cat "$work/opened")" = "$(printf '1\n%s' "$address")" ] ||
        fail "handed over: $(cat "$work/opened")"
}

# Without a network the strip runs its bar to the end: it stays well past the moment it
# is seen (the whole bar takes over two seconds), where a failed check would close it.
offline() {
    local seen lived
    start "$(address offline)" unshare -n
    wait_until 5 strip_shown || fail "offline: no update window"
    seen=$(milliseconds)
    looks_right offline
    wait_until 5 strip_gone || fail "offline: the window stays"
    lived=$(($(milliseconds) - seen))
    ((lived >= 1500)) || fail "offline: the window closed before the bar was full (${lived} ms)"
    echo "the strip was seen for ${lived} ms"
    kill "$pid" && wait "$pid" || true
    [ "$(requests offline)" = 0 ] || fail "offline: a request was made"
}

runs=(same newer)
if unshare -n true 2>/dev/null; then
    runs+=(offline)
else
    echo "no network namespace here: the offline run is left out"
fi
page() { # page RUN: the version page it reads
    case $1 in
    newer) echo '<html><body>Tesselkraft Ver13.11.07</body></html>' ;;
    *) echo '<html><head><title>Version</title></head><body>Ver13.11.06</body></html>' ;;
    esac
}
for run in "${runs[@]}"; do
    serve "$run" "$(page "$run")"
    x_server "$run"
done
ready() { [ -s "$work/$1.log" ] && x_ready "$1"; }
for run in "${runs[@]}"; do
    wait_until 10 ready "$run" || fail "$run: the page server or the X server did not start"
done

# Each run in the background, in a program folder of its own (the program writes its
# companion files beside itself), its program ended with it.
children=()
for run in "${runs[@]}"; do
    (
        mkdir -p "$work/$run/program"
        cp "$app" "$work/$run/program/tesselkraft"
        app=$work/$run/program/tesselkraft pid=""
        trap '[ -z "$pid" ] || kill "$pid" 2>/dev/null || true' EXIT
        DISPLAY=$(x_display "$run")
        export DISPLAY
        "$run"
    ) >"$work/$run.out" 2>&1 &
    children+=($!)
done
status=0
for i in "${!runs[@]}"; do
    wait "${children[$i]}" || status=1
    sed "s/^/${runs[$i]}: /" "$work/${runs[$i]}.out"
done
[ "$status" = 0 ] || exit 1
echo "update window behaves: ${runs[*]}"
