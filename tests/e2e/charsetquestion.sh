#!/usr/bin/env bash
# The real program saving a page whose charset declaration names another encoding than the one
# written, answered by keyboard: Escape writes nothing, No saves the page as it is, Yes corrects
# the declaration and saves.
source "$(dirname "$0")/xsession.sh"

# Waits (up to 10 s) until file $1 holds exactly the bytes of file $2.
wait_same() {
    for _ in $(seq 1 200); do
        cmp -s "$1" "$2" && return 0
        sleep 0.05
    done
    return 1
}

# Waits for the question box titled "確認" (the desktop may add the program's name).
expect_question() {
    find_window "確認" prefix >/dev/null && return 0
    fail "$1 (visible: $(visible_captions))"
    return 1
}

under_x() {
    mkdir -p "$(dirname "$conf")"
    printf '[Settings]\nReadCode=0\nWriteCode=2\n' >"$conf"
    page=$work/page.html
    printf '<meta charset="Shift_JIS">\r\n<p>\x93\xfa</p>\r\n' >"$page"
    cp "$page" "$work/original"
    printf '<meta charset="Shift_JIS">\r\n<p>\xe6\x97\xa5</p>\r\n' >"$work/kept"
    printf '<meta charset="UTF-8">\r\n<p>\xe6\x97\xa5</p>\r\n' >"$work/corrected"

    start "$page"
    local caption="$page - たぶれん"
    expect_window "$caption" >/dev/null || { stop; return; }
    wait_active "$caption" || fail "the main window does not have the keyboard"

    keys ctrl+s
    expect_question "Ctrl+S: no question about the declaration" || { stop; return; }
    keys Escape
    check "Escape gives the keyboard back to the main window" wait_active "$caption"
    check "Escape writes nothing" cmp -s "$page" "$work/original"

    keys ctrl+s
    expect_question "second Ctrl+S: no question" || { stop; return; }
    keys alt+n
    check "No saves the page as UTF-8 with its declaration" wait_same "$page" "$work/kept"
    check "No gives the keyboard back" wait_active "$caption"

    keys ctrl+s
    expect_question "third Ctrl+S: no question" || { stop; return; }
    keys alt+y
    check "Yes corrects the declaration and saves" wait_same "$page" "$work/corrected"
    check "Yes gives the keyboard back" wait_active "$caption"

    # Saved and unchanged: Ctrl+Q closes without a question.
    keys ctrl+q
    check "Ctrl+Q closes the saved page" wait_exit
    stop
}

xsession_main "$@"
