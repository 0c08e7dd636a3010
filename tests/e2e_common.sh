# Shared by the runs of the real program (sourced).

wait_until() { # wait_until SECONDS COMMAND...
    local end=$((SECONDS + $1))
    shift
    until "$@"; do ((SECONDS < end)) || return 1; sleep 0.1; done
}

# x_server NAME: starts an X server of its own, so runs can go side by side; its display
# number goes to $work/NAME.display once it takes clients. Its id is added to `pids`.
x_server() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/$1.display" \
        2>"$work/$1.xlog" &
    pids+=($!)
}
x_ready() { [ -s "$work/$1.display" ]; }
x_display() { echo ":$(<"$work/$1.display")"; }
