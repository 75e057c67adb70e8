# A big page opened by a person: the window is there before the whole page is in the editor.
# Typing at once and undoing it while the rest is still coming in, typing again, at the end
# (Ctrl+End) and on the third line, joining lines by keys, undoing, saving: every typed character
# lands where it was typed, undo takes back exactly the typing (also the typing done during the
# fill), each key joins exactly two lines, and every byte of the page is kept. A 100 MB page saved
# during its fill keeps every byte too.
source "$(dirname "$0")/xsession.sh"

# A 100 MB Japanese page in Shift_JIS, typed in and saved at once, while most of it is still
# coming into the editor: the typed text is where it was typed and every other byte is kept.
hundred_megabytes() {
    local page=$work/huge.html expected=$work/huge-expected.html
    awk 'BEGIN { for (i = 0; i < 2100000; i++) printf "<p class=c%d>日本語の行 %d です</p>\r\n", i, i }' |
        iconv -f UTF-8 -t CP932 >"$page"
    { printf 'AA'; cat "$page"; } >"$expected"
    start "$page"
    check "the 100 MB page opens" patiently 6 wait_active "$page - たぶれん"
    typein "AA"
    keys ctrl+s
    check "the 100 MB page is saved during the fill" patiently 12 wait_file_has "$page" "AA<p"
    check "the typed text and every byte of the 100 MB page" patiently 6 cmp -s "$page" "$expected"
    keys ctrl+q
    check "Ctrl+Q ends the program after the 100 MB page" wait_exit
    stop
    rm -f "$page" "$expected"
}

under_x() {
    hundred_megabytes
    local page=$work/big.html expected=$work/expected.html
    awk 'BEGIN { for (i = 0; i < 150000; i++) printf "<p class=c%d>line %d text</p>\r\n", i, i }' \
        >"$page"
    start "$page"
    check "the big page opens" wait_active "$page - たぶれん"
    typein "QQ"
    keys ctrl+z
    typein "AA"
    keys ctrl+End
    typein "ZZ"
    keys ctrl+z
    typein "YY"
    keys ctrl+Home Down Down
    typein "MM"
    # Ctrl+Backspace at a line's start takes only the line break, Delete at its end the next.
    keys Down Home ctrl+BackSpace End Delete
    keys ctrl+s
    check "the page is saved" wait_file_has "$page" "YY"
    awk 'BEGIN { printf "AA"
                 for (i = 0; i < 150000; i++)
                     printf "%s<p class=c%d>line %d text</p>%s", i == 2 ? "MM" : "", i, i,
                            i == 2 || i == 3 ? "" : "\r\n"
                 printf "YY" }' >"$expected"
    check "typed text where it was typed, undo took back only QQ and ZZ, the page intact" \
        cmp -s "$page" "$expected"
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
    stop
}

xsession_main "$@"
