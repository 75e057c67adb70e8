# Source it; with_xvfb COMMAND... runs the command under a virtual X server of its own. Xvfb
# picks a free display itself and names it (-displayfd), so tests run side by side (xvfb-run -a
# races for the same number) never share or steal one another's display. -noreset: a server
# that resets whenever its last client goes refuses the next program started right after.
with_xvfb() {
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
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
