#!/usr/bin/env bash
# Commands by their keys alone, the menus never opened: each works as soon as it can run, not
# only after its menu has been shown once.
source "$(dirname "$0")/xsession.sh"

# Ctrl+F, a search word, Enter, Escape; then F3 finds the next occurrence, and typing replaces it.
find_next_flow() {
    keys ctrl+f
    check "Ctrl+F opens 検索" wait_active "検索"
    keys ctrl+a
    typein "ab"
    keys Return Escape
    check "Escape closes 検索" wait_active "$page - たぶれん"
    keys F3
    typein "X"
    keys ctrl+s
    printf 'ab X ab\r\n' >"$work/expected.html"
    check "the page is saved" wait_file_has "$page" "X"
    check "F3 selected the second ab, the typing replaced it" cmp -s "$page" "$work/expected.html"
}

under_x() {
    page=$work/page.html
    printf 'ab ab ab\r\n' >"$page"
    start "$page"
    expect_window "$page - たぶれん" >/dev/null || { stop; return; }
    find_next_flow
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
    stop
}

xsession_main "$@"
