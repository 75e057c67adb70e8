#!/bin/bash
# Peak memory of Tavlen's real window on a 100 MB Japanese page (the bench corpus's 10 MB
# Shift_JIS page ten times over): after opening it, after a key and Ctrl+S (the recovery copy
# written on the way), and after a replace-all of every "class" by "klass" (Ctrl+L); each with its
# ratio to the open's peak and the time the step took. Each step waits until the program's CPU time
# stops growing for half a second. Runs under its own Xvfb with openbox, in a fresh HOME.
#
# Usage: bench/sidebyside/peaks.sh <build dir>
# Needs: Xvfb, openbox, xdotool; the build's tavlen and make_corpus targets.
set -euo pipefail
build=$(readlink -f "${1:?usage: peaks.sh <build dir>}")
tavlen=$build/src/tavlen
for f in "$tavlen" "$build/bench/corpus/make_corpus"; do
    [ -x "$f" ] || { echo "missing $f (build it first)" >&2; exit 2; }
done
work=$(mktemp -d)
pids=()
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
"$build/bench/corpus/make_corpus" "$work" >/dev/null
page=$work/page100.html
for _ in 1 2 3 4 5 6 7 8 9 10; do cat "$work/corpus-10mb.sjis.html"; done >"$page"
home=$work/home
mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/run"
chmod 700 "$home/run"
display=$((200 + $$ % 500))
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 1 200); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.02
done
export DISPLAY=:$display HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
export XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$home/run LANG=C.UTF-8
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

"$tavlen" "$page" &
pid=$!
pids+=("$pid")
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
settle() { # until the CPU time stands still for half a second
    local a b
    a=$(cpu)
    while sleep 0.5; b=$(cpu); [ "$a" != "$b" ]; do a=$b; done
}
peak_mb() { awk '/^VmHWM/ {printf "%d", $2 / 1024}' "/proc/$pid/status"; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
caption="$page - たぶれん"

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
t=$(now_ms)
for _ in $(seq 1 600); do
    xdotool search --name "$caption" >/dev/null 2>&1 && break
    sleep 0.2
done
settle
open=$(peak_mb)
printf '%-28s %6s MB  %5s  %7s ms\n' "open" "$open" "1.00" "$(($(now_ms) - t))"

report() { # report <step> <start ms>
    local mb
    mb=$(peak_mb)
    printf '%-28s %6s MB  %5s  %7s ms\n' "$1" "$mb" \
        "$(awk -v a="$mb" -v b="$open" 'BEGIN {printf "%.2f", a / b}')" "$(($(now_ms) - $2))"
}

t=$(now_ms)
xdotool key ctrl+Home z
sleep 1 # the recovery copy is written half a second after the last key
settle
xdotool key ctrl+s
sleep 0.5
settle
report "key, recovery copy, Ctrl+S" "$t"

t=$(now_ms)
xdotool key ctrl+l
sleep 1
xdotool key ctrl+a
xdotool type --delay 50 class
xdotool key Tab ctrl+a
xdotool type --delay 50 klass
xdotool key Return
sleep 0.5
settle
report "replace-all (and the above)" "$t"
echo "replaced: $(LC_ALL=C grep -o klass "$page" | wc -l) in the page on disk before saving (expect 0)"
xdotool key Escape ctrl+s
sleep 0.5
settle
echo "replaced: $(LC_ALL=C grep -o klass "$page" | wc -l) after Ctrl+S"
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
