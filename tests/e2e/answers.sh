#!/usr/bin/env bash
# An answer never throws work away: Yes to "save changes?" followed by Escape in the file dialog
# keeps the text, for New and for Ctrl+Q; the tag set editor's close box asks about its edits;
# root saving over a read-only file is asked first. Real keys, judged by files and captions.
source "$(dirname "$0")/xsession.sh"

new_caption="新規ファイル - たぶれん"

# Yes, then Escape in "ファイルに保存": the command stops, the text and the caption stay.
yes_then_escape() { # yes_then_escape key what
    keys "$1"
    check "$2: the question comes" wait_active "確認"
    keys y
    check "$2: Yes shows the file dialog" wait_active "ファイルに保存"
    keys Escape
    check "$2: Escape in the file dialog keeps the document" wait_active "$new_caption"
}

unsaved_new_document_flow() {
    typein "a1"
    yes_then_escape ctrl+q "Ctrl+Q"
    kill -0 "$pid" 2>/dev/null || { fail "Ctrl+Q ended the program, the text unsaved"; return 1; }
    pass
    yes_then_escape ctrl+n "Ctrl+N"
    keys ctrl+shift+s
    check "Ctrl+Shift+S shows the file dialog" wait_active "ファイルに保存"
    typein "$page"
    keys Return
    check "the text typed at the start is saved" wait_active "$page - たぶれん"
    check "the saved file holds it" has_bytes "$page" 'a1'
}

# The close box (Alt+F4) of the tag set editor with unsaved edits asks; Yes saves them.
tagset_close_box_flow() {
    keys ctrl+t
    check "Ctrl+T opens the tag set editor" wait_active "タグセットエディタ"
    keys alt+t Down alt+v Tab
    typein "zz"
    keys alt+F4
    check "Alt+F4 asks about the edited tag set" wait_active "確認"
    keys y
    check "Yes closes the editor" wait_active "$page - たぶれん"
    check "Yes saved the tag set" grep -qaF "zz" "$work/bin/TagSets/a.tag"
}

# Root may write a read-only file: saving over it asks, and No writes nothing.
read_only_flow() {
    [ "$(id -u)" -eq 0 ] || return 0
    chmod 0444 "$page"
    typein "r"
    keys ctrl+s
    check "saving over a read-only file asks" wait_active "確認"
    keys n
    check "No gives the keyboard back" wait_active "$page - たぶれん"
    check "No writes nothing" has_bytes "$page" 'a1'
    keys ctrl+s
    check "the question comes again" wait_active "確認"
    keys y
    check "Yes writes" has_bytes "$page" 'a1r'
    check "the file stays read-only" test "$(stat -c %a "$page")" = 444
}

under_x() {
    prepare_program
    page=$work/page.html
    start
    expect_window "$new_caption" >/dev/null || { stop; return; }
    wait_active "$new_caption" || fail "the main window does not have the keyboard"
    unsaved_new_document_flow || { stop; return; }
    tagset_close_box_flow
    read_only_flow
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
    stop
}

xsession_main "$@"
