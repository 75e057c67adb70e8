#!/bin/bash
# tavlen --check-links on the planted site, without a display: every planted fault is reported
# at its place with the link as written, nothing else is, and the exit status says which.
# Usage: checklinks.sh <tavlen> <site folder> <expected findings>
set -u
bin=${1:?tavlen} site=${2:?site folder} expected=${3:?expected findings}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
cp -r "$site" "$work/site"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cd "$work"
"$bin" --check-links site >out.txt 2>err.txt
status=$?
[ $status -eq 1 ] || fail "a folder with faults: exit status $status, not 1 ($(cat err.txt))"
diff -u "$expected" out.txt || fail "the folder's findings differ from the planted list"

# One file: its findings only, under the path as given; a clean page exits with 0.
"$bin" --check-links site/sub/base.html >out.txt 2>err.txt
status=$?
[ $status -eq 1 ] || fail "one file with a fault: exit status $status, not 1"
grep '^sub/base.html:' "$expected" | sed 's|^|site/|' | diff -u - out.txt ||
    fail "one file's findings differ from the planted list"
(cd site && "$bin" --check-links about.html >../out.txt 2>../err.txt)
status=$?
[ $status -eq 0 ] || fail "a clean page: exit status $status, not 0 ($(cat out.txt))"
[ -s out.txt ] && fail "a clean page printed findings"

# Errors: nothing to check, or no argument.
"$bin" --check-links site/nothing-here >out.txt 2>err.txt
status=$?
[ $status -eq 2 ] || fail "a missing folder: exit status $status, not 2"
grep -q 'フォルダーもファイルも見つかりません' err.txt || fail "a missing folder is not named"
"$bin" --check-links >out.txt 2>err.txt
status=$?
[ $status -eq 2 ] || fail "no argument: exit status $status, not 2"

[ $failures -eq 0 ] && echo "checklinks: all passed"
[ $failures -eq 0 ]
