# Shared by the real-window tests: source it, define under_x, then call xsession_main "$@".
# The real program runs under Xvfb with a real window manager (openbox), in a temporary HOME,
# driven only by X key events (xdotool through XTEST) and judged by files on disk, the settings
# file and the captions X11 reports (_NET_WM_NAME).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
isolated_run "$1"
conf=$XDG_CONFIG_HOME/Tavlen/Tavlen.conf
passed=0
failures=0
pid=
pass() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { # check "what" command...: passes when the command succeeds
    local what=$1
    shift
    if "$@"; then pass; else fail "$what (active window: [$(active_caption)])"; fi
}

# Starts the program with these arguments; its output goes to program.log.
start() {
    "$bin" "$@" >>"$work/program.log" 2>&1 &
    pid=$!
}

# The caption the window manager and the desktop show: _NET_WM_NAME, as UTF-8.
caption_of() {
    xprop -id "$1" -notype _NET_WM_NAME 2>/dev/null |
        sed -n 's/^_NET_WM_NAME = "\(.*\)"$/\1/p' | sed 's/\\"/"/g; s/\\\\/\\/g'
}

# Waits (up to 20 s) for a visible window of the program whose caption is exactly $1; prints
# its id. With $2 = prefix, a caption that starts with $1 will do.
find_window() {
    local caption=$1 mode=${2:-exact}
    for _ in $(seq 1 400); do
        kill -0 "$pid" 2>/dev/null || return 1
        local win name
        for win in $(xdotool search --onlyvisible --pid "$pid" --name . 2>/dev/null); do
            name=$(caption_of "$win") || continue
            if [ "$name" = "$caption" ] || { [ "$mode" = prefix ] && [[ "$name" == "$caption"* ]]; }; then
                echo "$win"
                return 0
            fi
        done
        sleep 0.05
    done
    return 1
}

# Waits for a window captioned $1, fails with $2 when none comes. Prints the id.
expect_window() {
    local win
    if win=$(find_window "$1"); then
        echo "$win"
        return 0
    fi
    fail "${2:-no window captioned \"$1\"} (visible: $(visible_captions))" >&2
    return 1
}

visible_captions() {
    local win out=
    for win in $(xdotool search --onlyvisible --pid "$pid" --name . 2>/dev/null); do
        out+="[$(caption_of "$win")]"
    done
    echo "$out"
}

# The window that has the keyboard now, as the window manager says.
active_caption() {
    local win
    win=$(xdotool getactivewindow 2>/dev/null) || return 0
    caption_of "$win"
}

# Waits until the window captioned $1 is the active one (a dialog opened or closed).
wait_active() {
    for _ in $(seq 1 200); do
        [ "$(active_caption)" = "$1" ] && return 0
        sleep 0.05
    done
    return 1
}

# Real key events to whatever window has the focus, as a person's keyboard sends them.
# One key at a time, at a person's pace: chords sent faster can reach Qt with a modifier of
# the previous chord still held.
keys() {
    local k
    for k in "$@"; do
        xdotool key --clearmodifiers "$k"
        sleep 0.15
    done
    sleep 0.1
}
# A character with no key of its own (é, 日) is typed through a key xdotool maps for it first;
# on a busy machine the program may read the key before the new mapping, so those go slower.
typein() {
    local delay=25
    LC_ALL=C grep -q '[^ -~]' <<<"$1" && delay=150
    xdotool type --clearmodifiers --delay "$delay" "$1"
    sleep 0.2
}

# Waits for the program to end by itself (up to 10 s); kills it otherwise.
wait_exit() {
    for _ in $(seq 1 200); do
        kill -0 "$pid" 2>/dev/null || { wait "$pid" 2>/dev/null || true; return 0; }
        sleep 0.05
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    return 1
}

stop() {
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Runs the command up to n times (each waits its own while): a page of many megabytes takes a
# while to load.
patiently() {
    local n=$1 _
    shift
    for _ in $(seq 1 "$n"); do
        "$@" && return 0
    done
    return 1
}

# Waits until file $1 contains the fixed text $2 (up to 10 s).
wait_file_has() {
    for _ in $(seq 1 200); do
        grep -qaF -- "$2" "$1" 2>/dev/null && return 0
        sleep 0.05
    done
    return 1
}

start_window_manager() {
    mkdir -p "$work/openbox"
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    for _ in $(seq 1 400); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.05
    done
    echo "the window manager did not start: $(cat "$work/openbox.log")" >&2
    return 1
}

xsession_main() {
    if [ -n "${TAVLEN_E2E_UNDER_X:-}" ]; then
        unset QT_QPA_PLATFORM
        export LANG=C.UTF-8 LC_ALL=C.UTF-8
        start_window_manager
        local started=$SECONDS
        under_x
        echo "$passed passed, $failures failed ($((SECONDS - started)) s)"
        [ "$failures" -eq 0 ]
        return
    fi
    local code=0
    TAVLEN_E2E_UNDER_X=1 TAVLEN_E2E_WORK="$work" with_xvfb bash "$0" "$bin" || code=$?
    if [ "$code" -ne 0 ] && [ -s "$work/program.log" ]; then
        echo "--- program output ---"
        tail -n 40 "$work/program.log"
    fi
    return "$code"
}

# The program runs from a folder of the test's own, so its TagSets folder is the test's too.
prepare_program() {
    mkdir -p "$work/bin/TagSets"
    cp "$bin" "$work/bin/tavlen"
    bin=$work/bin/tavlen
    printf '<b><$$#--#$$></b>\r\n' >"$work/bin/TagSets/a.tag"
}

# The file holds exactly these bytes (printf format); prints both when not.
has_bytes() {
    local file=$1 expected
    expected=$(printf "$2" | od -An -c)
    for _ in $(seq 1 100); do
        [ "$(od -An -c "$file")" = "$expected" ] && return 0
        sleep 0.05
    done
    echo "  expected:$expected" >&2
    echo "  found:   $(od -An -c "$file")" >&2
    return 1
}
