#!/usr/bin/env bash
# The folder search and replace side by side with ripgrep and sed on a generated mixed site.
# usage: site_bench.sh TAVLEN [PAGES]   (PAGES defaults to 10,000, about 500 MB)
# Search: tavlen once, with each file's encoding detected, against ripgrep run once per encoding
# with that encoding forced (the three times added), warm cache, a word and a regular expression.
# Replace: 1,000 pages (fsync included) against sed -i on UTF-8 copies of the same pages.
# Prints wall seconds (median of three runs), peak memory and the ratios.
set -euo pipefail
bin=$(realpath "$1")
pages=${2:-10000}
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$HOME"
site=$work/site
word=株式会社たぶれん
pattern='株式会社[ぁ-ん]+'

python3 "$here/make_site.py" "$pages" "$site"
echo "site: $pages pages, $(du -sm "$site" | cut -f1) MB"
find "$site" -type f -exec cat {} + >/dev/null # warm cache

# run3 <command...>: median wall seconds, the largest peak resident size (KB) and the median
# processor seconds (user + system) of three runs. On a busy machine the processor seconds say
# more than the wall clock.
run3() {
    local times=() cpus=() peak=0 s kb u sys
    for _ in 1 2 3; do
        "${prepare:-true}"
        /usr/bin/time -f "%e %M %U %S" -o "$work/time" "$@" >/dev/null 2>&1 || true
        read -r s kb u sys <"$work/time"
        times+=("$s")
        cpus+=("$(python3 -c "print(f'{$u + $sys:.2f}')")")
        [ "$kb" -gt "$peak" ] && peak=$kb
    done
    printf '%s %s %s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n 2p)" "$peak" \
        "$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n 2p)"
}
ratio() { python3 -c "print(f'{$1 / $2:.2f}')"; }
sum() { python3 -c "print(f'{$1 + $2 + $3:.2f}')"; }

compare_search() { # compare_search <label> <tavlen args...> -- <rg args...>
    local label=$1
    shift
    local targs=() rargs=()
    while [ "$1" != -- ]; do targs+=("$1"); shift; done
    shift
    rargs=("$@")
    read -r t tpeak tcpu < <(run3 "$bin" --search-folder "$site" "${targs[@]}")
    read -r s1 _ c1 < <(run3 rg -E shift_jis "${rargs[@]}" "$site")
    read -r s2 _ c2 < <(run3 rg -E euc-jp "${rargs[@]}" "$site")
    read -r s3 rpeak c3 < <(run3 rg -E utf-8 "${rargs[@]}" "$site")
    local rg rgcpu
    rg=$(sum "$s1" "$s2" "$s3")
    rgcpu=$(sum "$c1" "$c2" "$c3")
    echo "$label: tavlen $t s wall, $tcpu s cpu (peak $((tpeak / 1024)) MB); rg x3 $rg s wall ($s1 + $s2 + $s3), $rgcpu s cpu (peak $((rpeak / 1024)) MB); ratio tavlen/rg wall $(ratio "$t" "$rg"), cpu $(ratio "$tcpu" "$rgcpu")"
    echo "  matching lines: tavlen $("$bin" --search-folder "$site" "${targs[@]}" 2>/dev/null | wc -l)," \
        "rg $(for e in shift_jis euc-jp utf-8; do rg -E $e "${rargs[@]}" "$site"; done | wc -l) (tavlen prints a line once per match, rg once per line)"
}

compare_search "search, word" --find "$word" -- -F "$word"
compare_search "search, regular expression" --find "$pattern" --regexp -- "$pattern"

# Replace in 1,000 pages: the originals for tavlen, UTF-8 copies for sed, fresh for every run.
mkdir -p "$work/pages" "$work/utf8"
find "$site" -type f | sort >"$work/all"
head -1000 "$work/all" >"$work/list"
while read -r f; do cp "$f" "$work/pages/${f//\//_}"; done <"$work/list"
python3 - "$work/pages" "$work/utf8" <<'PY'
import os, sys
src, dst = sys.argv[1], sys.argv[2]
for name in os.listdir(src):
    n = int(name.rsplit("p", 1)[1].split(".")[0])
    pick = n % 20
    enc = "cp932" if pick < 12 else "euc_jp" if pick < 17 else "utf-8"
    with open(os.path.join(src, name), "rb") as f:
        text = f.read().decode(enc)
    with open(os.path.join(dst, name), "wb") as f:
        f.write(text.encode("utf-8"))
PY
fresh_tavlen() { rm -rf "$work/r1" "$XDG_DATA_HOME"; cp -r "$work/pages" "$work/r1"; }
fresh_sed() { rm -rf "$work/r2"; cp -r "$work/utf8" "$work/r2"; }
prepare=fresh_tavlen
read -r t tpeak tcpu < <(run3 "$bin" --search-folder "$work/r1" --find "$word" --replace-with 株式会社タブレン)
prepare=fresh_sed
read -r s _ scpu < <(run3 sh -c "sed -i 's/$word/株式会社タブレン/g' '$work'/r2/*")
prepare=
echo "replace in 1,000 pages: tavlen $t s wall, $tcpu s cpu (peak $((tpeak / 1024)) MB, fsync included); sed -i $s s wall, $scpu s cpu; ratio tavlen/sed wall $(ratio "$t" "$s"), cpu $(ratio "$tcpu" "$scpu")"
