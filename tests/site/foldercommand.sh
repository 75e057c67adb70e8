#!/usr/bin/env bash
# The folder search and replace from the command line, without a display, on a mixed folder:
# Shift_JIS with CR LF, EUC-JP with LF, UTF-8 with a byte order mark, ISO-2022-JP, a binary file
# and pages that cannot hold a replacement. Every written file is compared with the bytes iconv
# makes of the expected text; a run killed in the middle leaves each file old or new, and undo
# puts them back.
set -euo pipefail
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$HOME"
site=$work/site
expected=$work/expected
mkdir -p "$site/sub" "$expected/sub"
passed=0
failures=0
pass() { passed=$((passed + 1)); }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() {
    local what=$1
    shift
    if "$@"; then pass; else fail "$what"; fi
}
same() { cmp -s "$1" "$2"; }

# outcome <arguments...>: runs the program; what it prints is in $out, what it prints on stderr
# in $work/err, and its exit status in $status.
outcome() {
    set +e
    out=$("$bin" "$@" 2>"$work/err")
    status=$?
    set -e
}

# kill_while_writing <what> <written> <folder> <before> <new page> <arguments...>: runs the folder
# command slowed down and kills it with -9 once it has printed <written> for three files; each of
# the $pages must then be its copy in <before> or <new page>, and undo must give <before> back.
kill_while_writing() {
    local what=$1 written=$2 folder=$3 before=$4 new_page=$5
    shift 5
    TAVLEN_FOLDER_APPLY_PAUSE_MS=150 "$bin" "$@" >"$work/killed.log" 2>&1 &
    local runner=$!
    for _ in $(seq 1 100); do
        [ "$(grep -c "$written" "$work/killed.log" || true)" -ge 3 ] && break
        sleep 0.05
    done
    kill -9 "$runner"
    wait "$runner" 2>/dev/null || true
    local old=0 new=0 f
    for f in "${pages[@]}"; do
        if same "$f" "$before/${f#"$folder"/}"; then
            old=$((old + 1))
        elif same "$f" "$new_page"; then
            new=$((new + 1))
        else
            fail "$f is neither old nor new after kill -9"
        fi
    done
    check "kill -9 came in the middle of $what ($old old, $new new)" test "$old" -gt 0 -a "$new" -gt 0
    "$bin" --undo-folder-operation >/dev/null
    check "undo after kill -9 of $what restores the folder" diff -r "$folder" "$before"
}

# page <iconv charset> <eol: crlf|lf> <text>: the bytes of a page as iconv writes them.
page() {
    local text=$3
    [ "$2" = crlf ] && text=$(printf '%s' "$text" | sed 's/$/\r/')
    printf '%s\n' "$text" | iconv -f UTF-8 -t "$1"
}
body() { # body <declaration> <company>
    printf '<html><head>%s<title>%s</title></head>\n<body>\n<p>%sの電話は 03-1234-5678 です。</p>\n</body></html>' "$1" "$2" "$2"
}
make_site() { # make_site <dir> <company>: the mixed folder with company written everywhere
    local d=$1 c=$2
    page CP932 crlf "$(body '<meta charset="Shift_JIS">' "$c")" >"$d/sjis.html"
    page EUC-JP lf "$(body '' "$c")" >"$d/sub/euc.htm"
    { printf '\xEF\xBB\xBF'; page UTF-8 crlf "$(body '' "$c")"; } >"$d/bom.shtml"
    page ISO-2022-JP lf "$(body '' "$c")" >"$d/jis.html"
}
make_site "$site" 旧社名
printf 'GIF89a\0\0旧社名\0' >"$site/image.html"
page CP932 lf "$(body '' 旧社名) ①" >"$site/notes.txt"

# Search: one line per match, PATH:LINE:COLUMN: LINE, columns in characters.
outcome --search-folder "$site" --find 旧社名
check "search exits 0 on a match" [ "$status" = 0 ]
check "Shift_JIS match listed" grep -qxF 'sjis.html:3:4: <p>旧社名の電話は 03-1234-5678 です。</p>' <<<"$out"
check "EUC-JP match in a subfolder listed" grep -qxF 'sub/euc.htm:3:4: <p>旧社名の電話は 03-1234-5678 です。</p>' <<<"$out"
check "ISO-2022-JP match listed" grep -qF 'jis.html:1:20: ' <<<"$out"
check "UTF-8 with BOM match listed" grep -qF 'bom.shtml:1:' <<<"$out"
check "a file outside the patterns is not read" bash -c '! grep -q notes.txt <<<"$0"' "$out"
check "the binary file is named as skipped" grep -qF 'image.html: 読みませんでした: テキストではありません' "$work/err"
check "--include reaches other names" bash -c '"$0" --search-folder "$1" --find 旧社名 --include "*.txt" 2>/dev/null | grep -qxF "notes.txt:3:4: <p>旧社名の電話は 03-1234-5678 です。</p>"' "$bin" "$site"
set +e
"$bin" --search-folder "$site" --find 無い言葉 >/dev/null 2>&1
check "no match exits 1" [ $? = 1 ]
"$bin" --search-folder "$site" --find '(' --regexp >/dev/null 2>&1
check "a bad pattern exits 2" [ $? = 2 ]
"$bin" --search-folder "$work/none" --find x >/dev/null 2>&1
check "a missing folder exits 2" [ $? = 2 ]
set -e
check "regexp and ignore-case" bash -c '"$0" --search-folder "$1" --find "TITLE>旧.名" --regexp --ignore-case 2>/dev/null | grep -qF "sjis.html:1:"' "$bin" "$site"

# Dry run: lists, writes nothing.
cp -a "$site" "$work/before"
dry=$("$bin" --search-folder "$site" --find 旧社名 --replace-with 新社名 --dry-run)
check "dry run lists the Shift_JIS page" grep -qxF 'sjis.html: 2 件を置き換えます（Shift_JIS, CR LF）' <<<"$dry"
check "dry run lists the EUC-JP page" grep -qxF 'sub/euc.htm: 2 件を置き換えます（EUC-JP, LF）' <<<"$dry"
check "dry run writes nothing" diff -r "$site" "$work/before"

# Replace: every page in its own encoding, line ends and byte order mark, as iconv writes them.
out=$("$bin" --search-folder "$site" --find 旧社名 --replace-with 新社名)
make_site "$expected" 新社名
for f in sjis.html sub/euc.htm bom.shtml jis.html; do
    check "$f written in its own encoding" same "$site/$f" "$expected/$f"
done
check "written files listed with the count" grep -qxF 'sjis.html: 2 件置き換えました' <<<"$out"
check "the binary file is listed as not written" grep -qF 'image.html: 書きません: ' <<<"$out"
check "the binary file is untouched" same "$site/image.html" "$work/before/image.html"

# A replacement the page's encoding cannot hold: that page is listed and left alone.
cp -a "$site" "$work/after1"
out=$("$bin" --search-folder "$site" --find 新社名 --replace-with 𠮷社名)
check "Shift_JIS page cannot hold 𠮷" grep -qF 'sjis.html: 書きません: 置き換えた文字の中に Shift_JIS では書けない文字があります。' <<<"$out"
check "Shift_JIS page untouched" same "$site/sjis.html" "$work/after1/sjis.html"
check "EUC-JP page untouched" same "$site/sub/euc.htm" "$work/after1/sub/euc.htm"
check "no question mark written" bash -c '! grep -rq "?社名" "$0"' "$site"
{ printf '\xEF\xBB\xBF'; page UTF-8 crlf "$(body '' 𠮷社名)"; } >"$expected/bom.shtml"
check "UTF-8 page holds 𠮷" same "$site/bom.shtml" "$expected/bom.shtml"

# Undo the last operation: the UTF-8 page comes back, the others were never written.
out=$("$bin" --undo-folder-operation)
check "undo restores the UTF-8 page" same "$site/bom.shtml" "$work/after1/bom.shtml"
check "undo lists the restored file" grep -qxF 'bom.shtml: 元に戻しました' <<<"$out"
set +e
"$bin" --undo-folder-operation >/dev/null 2>&1
check "nothing left to undo exits 1" [ $? = 1 ]
set -e

# Killed during the writing: each file old or new, never half; undo rolls the rest back.
for i in $(seq 1 12); do cp "$site/sjis.html" "$site/copy$i.html"; done
cp -a "$site" "$work/after2"
make_site "$expected" 三代目
pages=("$site"/copy*.html "$site/sjis.html")
kill_while_writing "the replacement" 置き換えました "$site" "$work/after2" "$expected/sjis.html" \
    --search-folder "$site" --find 新社名 --replace-with 三代目

# A folder converted to one encoding: declarations rewritten or added, line ends kept, what
# Shift_JIS cannot hold written as references, a page with 〜 in a script left alone.
conv=$work/conv
mkdir -p "$conv/sub"
equiv='<meta http-equiv="Content-Type" content="text/html; charset=%s">'
# shellcheck disable=SC2059
page CP932 crlf "$(body "$(printf "$equiv" Shift_JIS)" 社名～)" >"$conv/sjis.html"
page EUC-JP lf "$(body '<meta charset="EUC-JP">' 社名)" >"$conv/sub/euc.htm"
{ printf '\xEF\xBB\xBF'; page UTF-8 crlf "$(body '' 〜𠮷😀)"; } >"$conv/bom.html"
page UTF-8 lf "$(body '<meta charset="UTF-8">' 社名)<script>x='〜'</script>" >"$conv/script.html"
printf 'GIF89a\0\0' >"$conv/image.html"
cp -a "$conv" "$work/conv0"
outcome --convert-folder "$conv" --to Shift_JIS --dry-run
check "dry run with pages left alone exits 1" [ "$status" = 1 ]
check "dry run lists the EUC-JP page" grep -qxF 'sub/euc.htm: 変換します（EUC-JP, LF → Shift_JIS）' <<<"$out"
check "dry run lists 〜 with its reference" grep -qxF 'bom.html:1:20: 「〜」（U+301C）は書けないため &#x301C; と書きます' <<<"$out"
check "dry run lists 😀" grep -qxF 'bom.html:1:22: 「😀」（U+1F600）は書けないため &#x1F600; と書きます' <<<"$out"
check "dry run names the page with 〜 in a script" grep -qF 'script.html: 変換しません: 4 行 ' <<<"$out"
check "dry run names the page already in Shift_JIS" grep -qxF 'sjis.html: 変換済みです（Shift_JIS）' <<<"$out"
check "dry run writes nothing" diff -r "$conv" "$work/conv0"
outcome --convert-folder "$conv" --to Shift_JIS
check "conversion with pages left alone exits 1" [ "$status" = 1 ]
page CP932 lf "$(body '<meta charset="Shift_JIS">' 社名)" >"$expected/euc-sjis.htm"
page CP932 crlf "$(body '<meta charset="Shift_JIS">' '&#x301C;&#x20BB7;&#x1F600;')" >"$expected/bom-sjis.html"
check "EUC-JP page as Shift_JIS" same "$conv/sub/euc.htm" "$expected/euc-sjis.htm"
check "UTF-8 page as Shift_JIS with references, no BOM" same "$conv/bom.html" "$expected/bom-sjis.html"
check "page with 〜 in a script untouched" same "$conv/script.html" "$work/conv0/script.html"
check "page already in Shift_JIS untouched" same "$conv/sjis.html" "$work/conv0/sjis.html"
check "references listed as written" grep -qxF 'bom.html:1:21: 「𠮷」（U+20BB7）を &#x20BB7; と書きました' <<<"$out"
"$bin" --undo-folder-operation >/dev/null
check "undo gives the original bytes back" diff -r "$conv" "$work/conv0"
rm "$conv/image.html" "$work/conv0/image.html"
"$bin" --convert-folder "$conv" --to utf8 >"$work/conv.log"
check "conversion of every page exits 0" true
# shellcheck disable=SC2059
page UTF-8 crlf "$(body "$(printf "$equiv" UTF-8)" 社名～)" >"$expected/sjis-utf8.html"
{ printf '\xEF\xBB\xBF'; page UTF-8 crlf "$(body '<meta charset="UTF-8">' 〜𠮷😀)"; } >"$expected/bom-utf8.html"
check "Shift_JIS page as UTF-8, ～ kept" same "$conv/sjis.html" "$expected/sjis-utf8.html"
check "UTF-8 page keeps its BOM and gets a declaration" same "$conv/bom.html" "$expected/bom-utf8.html"
set +e
"$bin" --convert-folder "$conv" --to latin1 >/dev/null 2>&1
check "an unknown target exits 2" [ $? = 2 ]
set -e

# A conversion killed during the writing: each file old or new, and undo rolls the rest back.
rm -rf "$conv" && mkdir -p "$conv"
for i in $(seq 1 12); do cp "$work/conv0/sjis.html" "$conv/copy$i.html"; done
rm -rf "$work/conv1" && cp -a "$conv" "$work/conv1"
pages=("$conv"/copy*.html)
kill_while_writing "the conversion" 変換しました "$conv" "$work/conv1" "$expected/sjis-utf8.html" \
    --convert-folder "$conv" --to UTF-8

echo "$passed passed, $failures failed"
[ "$failures" = 0 ]
