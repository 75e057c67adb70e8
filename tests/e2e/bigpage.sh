# A big page opened by a person: the window is there before the whole page is in the editor.
# Typing at once and undoing it while the rest is still coming in, typing again, at the end
# (Ctrl+End) and on the third line, undoing, saving: every typed character lands where it was
# typed, undo takes back exactly the typing (also the typing done during the fill), and every byte
# of the page is kept.
source "$(dirname "$0")/xsession.sh"

under_x() {
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
    keys ctrl+s
    check "the page is saved" wait_file_has "$page" "YY"
    awk 'BEGIN { printf "AA"
                 for (i = 0; i < 150000; i++)
                     printf "%s<p class=c%d>line %d text</p>\r\n", i == 2 ? "MM" : "", i, i
                 printf "YY" }' >"$expected"
    check "typed text where it was typed, undo took back only QQ and ZZ, the page intact" \
        cmp -s "$page" "$expected"
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
    stop
}

xsession_main "$@"
