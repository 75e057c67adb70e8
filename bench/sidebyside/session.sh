# Shared by the real-window benches: a work folder, an Xvfb display with openbox and a fresh HOME,
# all taken down on exit; then, for the program started as $pid, its CPU time, a wait until that
# stands still, its peak memory and the clock.
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

start_session() {
    local home=$work/home display=$((200 + $$ % 500))
    mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/run"
    chmod 700 "$home/run"
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 1 200); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.02
    done
    export DISPLAY=:$display HOME=$home XDG_CONFIG_HOME=$home/.config
    export XDG_DATA_HOME=$home/.local/share XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$home/run
    export LANG=C.UTF-8
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 0.5
}

cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
settle() { # until the CPU time stands still for half a second
    local a b
    a=$(cpu)
    while sleep 0.5; b=$(cpu); [ "$a" != "$b" ]; do a=$b; done
}
peak_mb() { awk '/^VmHWM/ {printf "%d", $2 / 1024}' "/proc/$pid/status"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Waits up to two minutes for a window whose caption holds $1.
wait_window() {
    for _ in $(seq 1 600); do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    return 1
}
