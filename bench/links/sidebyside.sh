#!/bin/bash
# The local link check side by side with Debian's linkchecker (external links off, its default)
# on the same generated site: both times, their ratio, and whether every missing file linkchecker
# reports is reported by tavlen --check-links too. linkchecker is not among the program's
# dependencies: install it by hand (apt-get install linkchecker) to run this.
# Usage: sidebyside.sh <tavlen> [pages, default 10000]
set -euo pipefail
bin=$(realpath "${1:?tavlen}")
pages=${2:-10000}
here=$(dirname "$(realpath "$0")")
command -v linkchecker >/dev/null || { echo "linkchecker is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$here/gensite.py" "$pages" "$work/site"
chmod -R a+rX "$work" # linkchecker run as root goes on as nobody

now() { date +%s.%N; }
t0=$(now)
status=0
env -u DISPLAY -u WAYLAND_DISPLAY "$bin" --check-links "$work/site" >"$work/tavlen.txt" || status=$?
t1=$(now)
[ $status -le 1 ] || { echo "tavlen --check-links failed ($status)" >&2; exit 1; }
linkchecker --no-status --threads 10 -o csv "$work/site/index.html" >"$work/linkchecker.csv" \
    2>"$work/linkchecker.err" || true
t2=$(now)

python3 - "$work" "$t0" "$t1" "$t2" "$pages" <<'PY'
import csv, os, posixpath, sys, urllib.parse
work, t0, t1, t2, pages = sys.argv[1], *map(float, sys.argv[2:5]), sys.argv[5]
site = os.path.join(work, "site")
ours = set()
for line in open(os.path.join(work, "tavlen.txt"), encoding="utf-8"):
    path, _, _, message = line.rstrip("\n").split(":", 3)
    if "リンク先のファイルがありません: " not in message:
        continue
    link = message.split("リンク先のファイルがありません: ", 1)[1]
    link = urllib.parse.unquote(link.split("#")[0].split("?")[0])
    ours.add(posixpath.normpath(posixpath.join(posixpath.dirname(path), link)))
theirs = set()
rows = [l for l in open(os.path.join(work, "linkchecker.csv"), encoding="utf-8")
        if not l.startswith("#")]
for row in csv.DictReader(rows, delimiter=";"):
    if row.get("valid") == "False" and row["url"].startswith("file://"):
        path = urllib.parse.unquote(urllib.parse.urlparse(row["url"]).path)
        theirs.add(os.path.relpath(path, site))
tavlen, checker = t1 - t0, t2 - t1
print("pages: %s" % pages)
print("tavlen --check-links: %.2f s, %d missing files" % (tavlen, len(ours)))
print("linkchecker:          %.2f s, %d missing files" % (checker, len(theirs)))
print("ratio (linkchecker / tavlen): %.1f" % (checker / tavlen))
missed = sorted(theirs - ours)
print("every missing file linkchecker reports is reported: %s" % ("yes" if not missed else "no"))
for m in missed[:20]:
    print("  not reported: %s" % m)
sys.exit(1 if missed else 0)
PY
