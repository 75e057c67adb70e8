#!/bin/bash
# Tavlen side by side with Kate and FeatherPad: each program in a fresh HOME under its own Xvfb,
# timed from launch until a window whose caption names the file is mapped ("window"), and until
# it has settled: its CPU time stops growing for 400 ms, the page wholly loaded and coloured
# ("settled"); with its peak resident memory up to then. Four cases: start-up with no file, a
# 1 MB, a 10 MB and a 100 MB Japanese page (the bench corpus, Shift_JIS; the 100 MB page is the
# 10 MB one ten times over). The programs take turns within each round, so a load change on the
# machine hits all of them alike; medians are printed with Tavlen's ratio to each peer, and the
# load average before and after.
#
# Usage: bench/sidebyside/sidebyside.sh <build dir> [rounds=7] [--install-peers]
#   --install-peers  installs kate and featherpad with apt-get first (never done otherwise)
# Needs: Xvfb; the build's tavlen, make_corpus and launchprobe targets.
set -euo pipefail
build=$(readlink -f "${1:?usage: sidebyside.sh <build dir> [rounds] [--install-peers]}")
rounds=7
install=no
for a in "${@:2}"; do
    case $a in
    --install-peers) install=yes ;;
    *) rounds=$a ;;
    esac
done
if [ $install = yes ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends kate featherpad
fi
probe=$build/bench/sidebyside/launchprobe
tavlen=$build/src/tavlen
for f in "$probe" "$tavlen" "$build/bench/corpus/make_corpus"; do
    [ -x "$f" ] || { echo "missing $f (build it first)" >&2; exit 2; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/corpus/make_corpus" "$work" >/dev/null
for _ in 1 2 3 4 5 6 7 8 9 10; do cat "$work/corpus-10mb.sjis.html"; done >"$work/corpus-100mb.sjis.html"
peers=(tavlen)
command -v kate >/dev/null && peers+=(kate)
command -v featherpad >/dev/null && peers+=(featherpad)

# What the caption of each program holds when it shows the file $1 (or no file).
caption() {
    local prog=$1 file=$2
    if [ -n "$file" ]; then
        case $prog in
        tavlen) echo "$file - たぶれん" ;;
        *) basename "$file" ;;
        esac
    else
        case $prog in
        tavlen) echo "たぶれん" ;;
        kate) echo "Kate" ;;
        featherpad) echo "Untitled" ;;
        esac
    fi
}

command_of() {
    case $1 in
    tavlen) echo "$tavlen" ;;
    kate) echo "kate -n" ;; # a new instance, never a running one
    featherpad) echo "featherpad" ;;
    esac
}

display=$((200 + $$ % 500))
# One launch: prints "<window ms> <settled ms> <KiB>" or "fail".
run_once() {
    local prog=$1 file=$2 home=$work/home-$RANDOM$RANDOM
    mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/run"
    chmod 700 "$home/run"
    Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    local xvfb=$!
    for _ in $(seq 1 200); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.02
    done
    local out
    # shellcheck disable=SC2046
    out=$(env -i PATH="$PATH" DISPLAY=":$display" HOME="$home" XDG_CONFIG_HOME="$home/.config" \
        XDG_DATA_HOME="$home/.local/share" XDG_CACHE_HOME="$home/.cache" \
        XDG_RUNTIME_DIR="$home/run" LANG=C.UTF-8 \
        "$probe" "$(caption "$prog" "$file")" 400 120000 $(command_of "$prog") ${file:+"$file"} \
        2>/dev/null) || out=fail
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null || true
    rm -rf "$home"
    echo "$out"
}

median() { sort -n | awk '{v[NR]=$1} END {if (NR == 0) print "nan"; else print (NR % 2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }

echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg); $rounds rounds; peers: ${peers[*]}"
for case in startup 1mb 10mb 100mb; do
    file=
    [ $case != startup ] && file=$work/corpus-$case.sjis.html
    for r in $(seq 1 "$rounds"); do
        for prog in "${peers[@]}"; do
            echo "$prog $(run_once "$prog" "$file")" >>"$work/$case.txt"
        done
    done
    printf '\n== %s (median of %s)           window    settled      peak\n' "$case" "$rounds"
    declare -A win=() set=() kib=()
    for prog in "${peers[@]}"; do
        win[$prog]=$(awk -v p="$prog" '$1 == p && $2 != "fail" {print $2}' "$work/$case.txt" | median)
        set[$prog]=$(awk -v p="$prog" '$1 == p && $2 != "fail" {print $3}' "$work/$case.txt" | median)
        kib[$prog]=$(awk -v p="$prog" '$1 == p && $2 != "fail" {print $4}' "$work/$case.txt" | median)
        fails=$(awk -v p="$prog" '$1 == p && $2 == "fail"' "$work/$case.txt" | wc -l)
        printf '%-27s %7s ms %7s ms %6s MB%s\n' "$prog" "${win[$prog]}" "${set[$prog]}" \
            "$(awk -v k="${kib[$prog]}" 'BEGIN {printf "%.0f", k / 1024}')" \
            "$([ "$fails" -gt 0 ] && echo "  ($fails failed)")"
    done
    for prog in "${peers[@]:1}"; do
        awk -v a="${win[tavlen]}" -v b="${win[$prog]}" -v c="${set[tavlen]}" -v d="${set[$prog]}" \
            -v e="${kib[tavlen]}" -v f="${kib[$prog]}" -v p="$prog" \
            'BEGIN {printf "tavlen/%-20s %10.2f %10.2f %9.2f\n", p, a / b, c / d, e / f}'
    done
    unset win set kib
done
echo
echo "load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
