#!/usr/bin/env bash
# A person at the keyboard: the real program in a real window, every step a real X key event,
# every result judged on disk, in the settings file or by the captions X11 reports.
source "$(dirname "$0")/xsession.sh"

lacks() { ! grep -qaF -- "$2" "$1"; }

# Keys typed into the document land in it, also after colouring and with Shift+Enter.
typing_flow() {
    typein "q1"
    keys ctrl+s
    check "open, type, Ctrl+S" has_bytes "$page" 'q1<p>x</p>\r\n'
    keys ctrl+g
    typein "q2"
    keys shift+Return
    typein "q3"
    keys ctrl+s
    check "Ctrl+G, type, Shift+Enter is a plain line break" has_bytes "$page" 'q1q2\r\nq3<p>x</p>\r\n'
}

# Replace by keyboard: Enter in a text box replaces, the focus stays in the dialog, Enter on the
# focused close button closes without replacing again; Escape closes Find.
replace_flow() {
    keys ctrl+l
    check "Ctrl+L opens 置換" wait_active "置換"
    keys ctrl+a
    typein "x"
    keys Tab
    typein "yx"
    keys Return Tab Tab Tab Return
    check "Enter on 閉じる closes the dialog" wait_active "$page - たぶれん"
    keys ctrl+s
    check "one replacement, none from Enter on 閉じる" has_bytes "$page" 'q1q2\r\nq3<p>yx</p>\r\n'
    keys ctrl+f
    check "Ctrl+F opens 検索" wait_active "検索"
    keys Escape
    check "Escape closes 検索" wait_active "$page - たぶれん"
}

# Options by keyboard: Escape drops the change, Enter keeps it; typing goes on afterwards.
options_flow() {
    keys ctrl+m
    check "Ctrl+M opens the options" wait_active "たぶれんオプション"
    keys alt+s alt+i Escape
    check "Escape leaves the options" wait_active "$page - たぶれん"
    check "Cancel stores nothing" grep -q '^DefaultEditor=False' "$conf"
    keys ctrl+m alt+s alt+i Return
    check "Enter confirms the options" wait_active "$page - たぶれん"
    check "OK stores the change" grep -q '^DefaultEditor=True' "$conf"
    typein "q4"
    keys ctrl+w
    sleep 1.5
    keys ctrl+w
    typein "q5"
    keys alt+s Down alt+i
    typein "q6"
    keys ctrl+s
    check "typing after options, preview and a tag set" wait_file_has "$page" "q6"
    check "typed after options and preview, then the tag set" grep -qaF 'q3q4q5<b></b>' "$page"
    check "typed after the tag set" grep -qaF 'q6<p>yx' "$page"
}

# Message boxes and dialogs answered by keyboard, with the captions the window manager shows.
dialogs_flow() {
    typein "q7"
    keys ctrl+n
    check "the save question is titled 確認" wait_active "確認"
    keys Escape
    check "Escape cancels New" wait_active "$page - たぶれん"
    keys ctrl+n
    check "the question comes again" wait_active "確認"
    keys n
    check "No starts a new document" wait_active "新規ファイル - たぶれん"
    check "No writes nothing" lacks "$page" q7
    keys ctrl+r
    check "the version dialog is titled バージョン情報" wait_active "バージョン情報"
    keys Return
    check "Enter closes the version dialog" wait_active "新規ファイル - たぶれん"
    keys ctrl+shift+s
    check "Save As is titled ファイルに保存" wait_active "ファイルに保存"
    keys Escape
    keys ctrl+o
    check "Open is titled ファイルを開く" wait_active "ファイルを開く"
    typein "$other"
    keys Return
    check "a file chosen by keyboard opens" wait_active "$other - たぶれん"
}

# The tag set editor: a new tag set typed with Shift+Enter is saved with ordinary line breaks.
tagset_flow() {
    keys ctrl+t
    check "Ctrl+T opens the tag set editor" wait_active "タグセットエディタ"
    keys alt+n
    check "the name prompt" wait_active "タグセット名の設定"
    keys ctrl+a
    typein "kbd"
    keys Return
    check "back in the editor" wait_active "タグセットエディタ"
    keys alt+v Tab
    typein "<i>"
    keys shift+Return
    typein "I"
    keys Tab
    typein "</i>"
    keys alt+s
    check "the tag set is saved with CR LF" has_bytes "$work/bin/TagSets/kbd.tag" \
        '<i>\r\nI<$$#--#$$></i>\r\n'
    keys alt+c
    # A saved tag set still counts as changed, so closing asks once more.
    check "closing asks about the tag set" wait_active "確認"
    keys n
    check "No closes the editor" wait_active "$other - たぶれん"
}

# A recent file chosen from the menu by keyboard, then Ctrl+Q.
recent_flow() {
    keys alt+f r Down Return
    check "the second recent file opens" wait_active "$page - たぶれん"
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
}

under_x() {
    prepare_program
    page=$work/page.html
    other=$work/other.html
    printf '<p>x</p>\r\n' >"$page"
    printf '<p>o</p>\r\n' >"$other"
    start "$page"
    expect_window "$page - たぶれん" >/dev/null || { stop; return; }
    typing_flow
    replace_flow
    options_flow
    dialogs_flow
    tagset_flow
    recent_flow
    stop
}

xsession_main "$@"
