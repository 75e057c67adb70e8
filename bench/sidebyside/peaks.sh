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
source "$(dirname "$0")/session.sh"
"$build/bench/corpus/make_corpus" "$work" >/dev/null
page=$work/page100.html
for _ in 1 2 3 4 5 6 7 8 9 10; do cat "$work/corpus-10mb.sjis.html"; done >"$page"
start_session

"$tavlen" "$page" &
pid=$!
pids+=("$pid")
caption="$page - たぶれん"

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
t=$(now_ms)
wait_window "$caption"
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
