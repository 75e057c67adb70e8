# The folder encoding conversion window by keyboard on a mixed folder (Shift_JIS with CR LF and
# its declaration, EUC-JP with LF, UTF-8 with a byte order mark and no declaration, holding 〜
# and 𠮷): converted to Shift_JIS, every file compared with the bytes iconv makes of the expected
# page; then 元に戻す gives the original bytes back.
source "$(dirname "$0")/xsession.sh"

title=フォルダーの文字コード変換

page() { # page <iconv charset> <eol> <declaration> <text>
    local text
    text=$(printf '<html><head>%s<title>%s</title></head>\n<body>\n<p>%s 日本語</p>\n</body></html>' "$3" "$4" "$4")
    [ "$2" = crlf ] && text=$(printf '%s' "$text" | sed 's/$/\r/')
    printf '%s\n' "$text" | iconv -f UTF-8 -t "$1"
}

eventually() { # eventually <command…>: true once the command is, within five seconds
    for _ in $(seq 1 50); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    "$@" >&2
}

under_x() {
    site=$work/site
    mkdir -p "$site/sub"
    page CP932 crlf '<meta charset="Shift_JIS">' 会社～ >"$site/sjis.html"
    page EUC-JP lf '<meta http-equiv="Content-Type" content="text/html; charset=EUC-JP">' 会社 >"$site/sub/euc.htm"
    { printf '\xEF\xBB\xBF'; page UTF-8 crlf '' '〜𠮷'; } >"$site/bom.html"
    cp -a "$site" "$work/before"
    mkdir -p "$work/expected/sub"
    cp "$site/sjis.html" "$work/expected/sjis.html"
    page CP932 lf '<meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS">' 会社 >"$work/expected/sub/euc.htm"
    page CP932 crlf '<meta charset="Shift_JIS">' '&#x301C;&#x20BB7;' >"$work/expected/bom.html"

    cd "$site"
    start
    check "the window starts" wait_active "新規ファイル - たぶれん"
    keys alt+e j
    check "編集 > フォルダーの文字コード変換 opens the window" wait_active "$title"
    keys alt+t Down # UTF-8, then Shift_JIS
    for _ in $(seq 1 10); do
        keys alt+p
        sleep 0.7
        keys alt+a
        sleep 0.7
        diff -r "$site" "$work/before" >/dev/null || break
    done
    check "every page is Shift_JIS with its declaration, references for 〜 and 𠮷" eventually diff -r "$site" "$work/expected"

    keys alt+u
    check "元に戻す asks first" wait_active "確認"
    keys y
    check "元に戻す gives the original bytes back" eventually diff -r "$site" "$work/before"
    check "the question closed" wait_active "$title"
    keys Escape
    check "Escape closes the window" wait_active "新規ファイル - たぶれん"
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
    stop
}

xsession_main "$@"
