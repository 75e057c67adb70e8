#!/usr/bin/env bash
# The real program given strange things on its command line: a FIFO and a folder are refused
# with a message and the program goes on with a new document; a binary file, a file of NUL
# bytes and file names with spaces, Japanese and 255 bytes open. Then the unsaved work of a
# program killed a moment after the typing is offered at the next start.
source "$(dirname "$0")/xsession.sh"
recovery=$XDG_DATA_HOME/Tavlen/Recovery

# A message box titled $2 comes first; Return closes it; then the main window shows $3.
expect_box_then() {
    local what=$1 box=$2 caption=$3
    local win
    if ! win=$(find_window "$box"); then
        fail "$what: no \"$box\" box (program alive: $(kill -0 "$pid" 2>/dev/null && echo yes || echo no))"
        stop
        return
    fi
    xdotool windowfocus --sync "$win" key Return
    if find_window "$caption" >/dev/null; then pass; else fail "$what: no window \"$caption\""; fi
    stop
}

# The main window shows $2; then the program is stopped.
shows_window() {
    local what=$1 caption=$2
    if find_window "$caption" >/dev/null; then pass; else fail "$what: no window \"$caption\""; fi
    stop
}

under_x() {
    mkfifo "$work/pipe.html"
    start "$work/pipe.html"
    expect_box_then "FIFO" "エラー" "新規ファイル - たぶれん"

    mkdir "$work/folder.html"
    start "$work/folder.html"
    expect_box_then "folder" "エラー" "新規ファイル - たぶれん"

    start "$work/missing.html"
    expect_box_then "missing file" "エラー" "新規ファイル - たぶれん"

    head -c 200000 /dev/urandom >"$work/binary.html"
    start "$work/binary.html"
    expect_box_then "binary file" "警告" "$work/binary.html - たぶれん"

    head -c 1000000 /dev/zero >"$work/zero.html"
    start "$work/zero.html"
    shows_window "all-NUL file" "$work/zero.html - たぶれん"

    local spaced="$work/two  spaces and 日本語 の名前.html"
    printf '<p>x</p>\r\n' >"$spaced"
    start "$spaced"
    shows_window "spaces and Japanese" "$spaced - たぶれん"

    # 255 bytes, the longest name a Linux file system takes: 81 three-byte characters + 12.
    local long
    long=$(printf 'あ%.0s' $(seq 1 81))xxxxxxx.html
    [ "$(printf %s "$long" | LC_ALL=C wc -c)" -eq 255 ] || fail "the long name is not 255 bytes"
    printf '<p>x</p>\r\n' >"$work/$long"
    start "$work/$long"
    shows_window "255-byte name" "$work/$long - たぶれん"

    # Unsaved work of a program killed a moment after the typing stopped is offered at the next
    # start.
    start
    local win
    if win=$(find_window "新規ファイル - たぶれん"); then
        xdotool windowfocus --sync "$win" mousemove --window "$win" 300 300 click 1 sleep 0.3 \
            type --delay 20 "unsaved work"
        sleep 1.2
        local first
        first=$(ls "$recovery"/*.snapshot 2>/dev/null || true)
        stop
        if [ -z "$first" ]; then
            fail "no snapshot was written while typing"
        elif ! grep -qa "u.n.s.a.v.e.d. .w.o.r.k" "$first"; then
            fail "the snapshot does not hold the typed text"
        else
            start
            expect_box_then "recovery offer" "確認" "新規ファイル - たぶれん"
            [ ! -e "$first" ] || fail "the restored snapshot was not removed"
        fi
    else
        fail "no window to type in"
        stop
    fi
}

xsession_main "$@"
