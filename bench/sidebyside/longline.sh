#!/bin/bash
# Tavlen's real window on a page of one line of about 10 MB (Shift_JIS markup with Japanese text),
# opened as it is (No to the offer of line breaks): the time from No to the window, from the
# window until the CPU stands still, the peak memory, and five rounds of a key and Ctrl+S at the
# line's start, each timed from the key to the bytes on disk, with their median. Runs under its
# own Xvfb with openbox, in a fresh HOME.
#
# Usage: bench/sidebyside/longline.sh <build dir>
# Needs: Xvfb, openbox, xdotool, iconv; the build's tavlen target.
set -euo pipefail
build=$(readlink -f "${1:?usage: longline.sh <build dir>}")
tavlen=$build/src/tavlen
[ -x "$tavlen" ] || { echo "missing $tavlen (build it first)" >&2; exit 2; }
source "$(dirname "$0")/session.sh"
page=$work/line.html
awk 'BEGIN { for (i = 0; i < 230000; i++) printf "<p class=\"a b\" id=p%d>日本語の文 x</p>", i }' |
    iconv -f UTF-8 -t CP932 >"$page"
start_session

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg); page $(stat -c %s "$page") bytes"
"$tavlen" "$page" &
pid=$!
pids+=("$pid")
wait_window "確認"
sleep 0.3
t=$(now_ms)
xdotool key n
wait_window "$page - たぶれん"
shown=$(now_ms)
settle
echo "No to window: $((shown - t)) ms; window to quiet: at most $(($(now_ms) - shown - 500)) ms;" \
    "peak $(peak_mb) MB"

xdotool key ctrl+Home
sleep 0.5
times=()
for round in 1 2 3 4 5; do
    t=$(now_ms)
    xdotool key z ctrl+s
    until [ "$(head -c "$round" "$page")" = "$(printf 'z%.0s' $(seq 1 "$round"))" ]; do
        sleep 0.01
    done
    times+=($(($(now_ms) - t)))
    sleep 1 # the recovery copy is written half a second after the last key
    settle
done
echo "key and Ctrl+S, ms: ${times[*]}; median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p);" \
    "peak $(peak_mb) MB"
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
