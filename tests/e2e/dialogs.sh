#!/usr/bin/env bash
# The options dialog and its font dialog by keyboard: the focus starts on the font button,
# Enter and Escape answer the font dialog as a whole, the code keys only move to the chosen
# code, and a half-point font size comes through the dialogs as it was.
source "$(dirname "$0")/xsession.sh"

options_flow() {
    start "$page"
    expect_window "$page - たぶれん" >/dev/null || return 0
    keys ctrl+m
    check "Ctrl+M opens the options" wait_active "たぶれんオプション"
    keys space
    check "Space on the first control, 参照, opens the font dialog" wait_active "フォント"
    keys Escape
    check "Escape closes the font dialog" wait_active "たぶれんオプション"
    keys space
    check "the font dialog opens again" wait_active "フォント"
    keys Return
    check "Enter closes the font dialog with OK" wait_active "たぶれんオプション"
    keys alt+k alt+r alt+w Return
    check "Enter confirms the options" wait_active "$page - たぶれん"
    check "Alt+R leaves the reading code EUC" wait_file_has "$conf" "ReadCode=1"
    check "Alt+W leaves the writing code UTF-8" grep -q '^WriteCode=2' "$conf"
    check "the half-point font size stays" grep -q '^FontSize=10.5' "$conf"
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
}

under_x() {
    mkdir -p "$(dirname "$conf")"
    printf '[Settings]\nFontSize=10.5\nReadCode=1\nWriteCode=2\n' >"$conf"
    page=$work/page.html
    printf '<p>x</p>\n' >"$page"
    options_flow
    stop
}

xsession_main "$@"
