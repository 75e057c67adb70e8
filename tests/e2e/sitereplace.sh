# The folder search and replace window by keyboard on a mixed folder (Shift_JIS with CR LF, EUC-JP
# with LF, UTF-8 with a byte order mark, ISO-2022-JP, a binary file): replace, a replacement that
# Shift_JIS cannot hold, 元に戻す, and a kill -9 in the middle of writing followed by a restart
# that offers to roll the operation back. Every file is compared with the bytes iconv makes.
source "$(dirname "$0")/xsession.sh"

title=フォルダー内の検索と置換

page() { # page <iconv charset> <eol> <company>
    local text
    text=$(printf '<html><head><title>%s</title></head>\n<body>\n<p>%s 日本語のページ</p>\n</body></html>' "$3" "$3")
    [ "$2" = crlf ] && text=$(printf '%s' "$text" | sed 's/$/\r/')
    if [ "$1" = BOM ]; then
        printf '\xEF\xBB\xBF'
        printf '%s\n' "$text"
    else
        printf '%s\n' "$text" | iconv -f UTF-8 -t "$1"
    fi
}
make_site() { # make_site <folder> <company>
    mkdir -p "$1/sub"
    page CP932 crlf "$2" >"$1/sjis.html"
    page EUC-JP lf "$2" >"$1/sub/euc.htm"
    page BOM crlf "$2" >"$1/bom.html"
    page ISO-2022-JP lf "$2" >"$1/jis.html"
}
site_is() { # site_is <company>: every page holds exactly what iconv makes for it
    rm -rf "$work/expected"
    make_site "$work/expected" "$1"
    for _ in $(seq 1 100); do
        diff -r -x image.html "$site" "$work/expected" >/dev/null && return 0
        sleep 0.1
    done
    diff -r -x image.html "$site" "$work/expected" >&2 || true
    return 1
}
field() { # field <mnemonic> <text>: replaces the text of the field its label's mnemonic reaches
    keys "alt+$1" ctrl+a
    typein "$2"
}
replace_in_site() { # replace_in_site <find> <replacement>
    field n "$1"
    field r "$2"
    rm -rf "$work/snapshot" && cp -a "$site" "$work/snapshot"
    # The plan and the writing run on another thread; while one runs the buttons that start
    # another do nothing. So: plan and Apply again until the folder changes.
    for _ in $(seq 1 10); do
        keys alt+p
        sleep 0.7
        keys alt+a
        sleep 0.5
        diff -r "$site" "$work/snapshot" >/dev/null || return 0
    done
}

under_x() {
    site=$work/site
    make_site "$site" OldName
    printf 'GIF89a\0\0OldName\0' >"$site/image.html"
    cp "$site/image.html" "$work/image.orig"
    cd "$site"
    start
    check "the window starts" wait_active "新規ファイル - たぶれん"
    keys ctrl+shift+f
    check "Ctrl+Shift+F opens the folder window" wait_active "$title"

    replace_in_site OldName NewName
    check "every page is written in its own encoding" site_is NewName
    check "the binary file is left alone" cmp -s "$site/image.html" "$work/image.orig"

    replace_in_site NewName Café
    page BOM crlf Café >"$work/cafe.html"
    check "the UTF-8 page takes é" bash -c 'for _ in $(seq 100); do cmp -s "$0" "$1" && exit 0; sleep 0.1; done; exit 1' "$site/bom.html" "$work/cafe.html"
    rm -rf "$work/expected" && make_site "$work/expected" NewName
    check "the Shift_JIS page cannot hold é and is not written" cmp -s "$site/sjis.html" "$work/expected/sjis.html"
    check "the ISO-2022-JP page is not written" cmp -s "$site/jis.html" "$work/expected/jis.html"

    keys alt+u
    check "元に戻す asks first" wait_active "確認"
    keys y
    check "元に戻す puts the UTF-8 page back" site_is NewName
    check "the question closed" wait_active "$title"
    keys Escape
    check "Escape closes the folder window" wait_active "新規ファイル - たぶれん"

    # Enter on a result opens its file in the editor.
    keys ctrl+shift+f
    check "the folder window opens with what it had" wait_active "$title"
    keys alt+s
    sleep 1
    keys alt+l Home Down Down Down Down Down Return # bom.html 2, image.html 1, jis.html 2
    # The editor's own open path may warn about a short page's encoding first.
    wait_active "警告" && keys Return
    check "Enter on a result opens its file" wait_active "$site/sjis.html - たぶれん"
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit

    # Killed while it writes: the next start offers to finish or roll back; No rolls back.
    for i in $(seq 1 12); do cp "$site/sjis.html" "$site/copy$i.html"; done
    cp -a "$site" "$work/before"
    TAVLEN_FOLDER_APPLY_PAUSE_MS=300 start
    check "the window starts again" wait_active "新規ファイル - たぶれん"
    keys ctrl+shift+f
    check "the folder window opens again" wait_active "$title"
    replace_in_site NewName ThirdName
    for _ in $(seq 1 100); do
        ! diff -r "$site" "$work/before" >/dev/null && break
        sleep 0.05
    done
    sleep 0.4
    stop
    check "the kill came in the middle" bash -c '! diff -r "$0" "$1" >/dev/null' "$site" "$work/before"
    start
    check "the next start asks about the cut-off replacement" wait_active "確認"
    keys n
    check "No rolls every file back" diff -r "$site" "$work/before"
    check "the main window is there after the question" wait_active "新規ファイル - たぶれん"
    keys ctrl+q
    check "Ctrl+Q ends the program after the roll back" wait_exit
    stop
}

xsession_main "$@"
