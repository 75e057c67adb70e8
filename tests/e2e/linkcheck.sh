# The link check window by keyboard: opened from the Edit menu on the document's folder, the
# check run with Enter, and Enter on a finding opens its page at the place, after the question
# about the unsaved changes of the page that was open. The letter-case fix is shown, applied on
# Yes and undone, judged by the page's bytes.
source "$(dirname "$0")/xsession.sh"

lacks() { ! grep -qaF -- "$2" "$1"; }

finding_flow() {
    start "$site/a.html"
    check "the page opens" wait_active "$site/a.html - たぶれん"
    typein "q"
    keys alt+e k
    check "Alt+E K opens the link check" wait_active "リンクの検査"
    keys Return
    sleep 1 # the check of two pages; its end moves the keyboard to the first finding
    keys Return
    check "Enter on the finding asks about the unsaved page first" wait_active "確認"
    keys n
    check "No opens the page of the finding" wait_active "$site/b.html - たぶれん"
    typein "Z"
    keys ctrl+s
    check "the caret was at the link as written" wait_file_has "$site/b.html" '<a href="Zmissing.html">'
    check "the unsaved change was not saved (No)" lacks "$site/a.html" "q"
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
}

case_fix_flow() {
    start "$site/a.html"
    check "the page opens for the fix" wait_active "$site/a.html - たぶれん"
    keys alt+e k
    check "the link check opens again" wait_active "リンクの検査"
    keys Return
    sleep 1
    keys alt+x
    check "Alt+X shows the changes first" wait_active "大文字・小文字の修正"
    keys y
    check "Yes writes the names as the disk spells them" has_bytes "$site/c.html" \
        '<p><img src="images/logo.png" alt="\x93\xfa\x96\x7b"></p>\r\n'
    check "the original is kept in the recovery folder" \
        test -n "$(find "$XDG_DATA_HOME/Tavlen/Recovery" -name '*.original' 2>/dev/null)"
    wait_active "リンクの検査"
    keys alt+u
    check "Alt+U puts the original bytes back" has_bytes "$site/c.html" \
        '<p><img src="Images/Logo.PNG" alt="\x93\xfa\x96\x7b"></p>\r\n'
    keys Escape
    keys ctrl+q
    check "Ctrl+Q ends the program after the fix" wait_exit
}

under_x() {
    site=$work/site
    mkdir -p "$site"
    printf '<!DOCTYPE html>\n<title>a</title>\n<p><a href="b.html">b</a></p>\n' >"$site/a.html"
    printf '<!DOCTYPE html>\n<title>b</title>\n<p>\x8c\xa9\x82\xc4 <a href="missing.html">x</a></p>\n' >"$site/b.html"
    finding_flow
    stop
    rm "$site/b.html"
    mkdir -p "$site/images"
    : >"$site/images/logo.png"
    printf '<p><img src="Images/Logo.PNG" alt="\x93\xfa\x96\x7b"></p>\r\n' >"$site/c.html"
    case_fix_flow
    stop
}

xsession_main "$@"
