# Source it. isolated_run PROGRAM sets bin to the program and work to the run's folder (the outer
# run's, for the part under X), and points HOME and the XDG folders into it, so a test never
# touches the real home.
isolated_run() {
    bin=$(readlink -f "$1")
    if [ -n "${TAVLEN_E2E_WORK:-}" ]; then
        work=$TAVLEN_E2E_WORK
    else
        work=$(mktemp -d)
        trap 'rm -rf "$work"' EXIT
    fi
    export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config
    export XDG_DATA_HOME=$work/home/.local/share XDG_CACHE_HOME=$work/home/.cache
    export XDG_RUNTIME_DIR=$work/run
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# with_xvfb COMMAND... runs the command under a virtual X server of its own. Xvfb
# picks a free display itself and names it (-displayfd), so tests run side by side (xvfb-run -a
# races for the same number) never share or steal one another's display. -noreset: a server
# that resets whenever its last client goes refuses the next program started right after.
with_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    # With XVFB_FBDIR set, the screen is also kept there as a file (Xvfb_screen0, XWD format),
    # for tests that look at the pixels.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        ${XVFB_FBDIR:+-fbdir "$XVFB_FBDIR"} 3>"$fifo" >/dev/null 2>&1 &
    local xvfb=$! display=
    read -r -t 20 display <"$fifo" || true
    rm -f "$fifo"
    if [ -z "$display" ]; then
        echo "Xvfb did not start" >&2
        kill "$xvfb" 2>/dev/null
        return 1
    fi
    local code=0
    DISPLAY=:$display "$@" || code=$?
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null || true
    return "$code"
}
