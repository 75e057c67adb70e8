# A minified page (one line of markup far over 20,000 characters) opened by a person: the program
# offers once to put line breaks between attributes; Yes opens the page broken into short lines
# (quoted values and the text untouched), No opens it as it is. Both stay editable and savable,
# a one-line page of 10 MB too.
source "$(dirname "$0")/xsession.sh"

# One line: n paragraphs with attributes, a quoted value with spaces, and text with spaces.
minified_page() {
    local n=$1 i
    for ((i = 0; i < n; i++)); do
        printf '<p class="a b" id=p%d title=%s>x y</p>' "$i" "t$i"
    done
}

lines_of() { tr -cd '\n' <"$1" | wc -c; }

# One line of about 10 MB in Shift_JIS: paragraphs with attributes and Japanese text.
huge_line_page() {
    awk 'BEGIN { for (i = 0; i < 230000; i++) printf "<p class=\"a b\" id=p%d>日本語の文 x</p>", i }' |
        iconv -f UTF-8 -t CP932
}

yes_flow() {
    start "$page"
    check "the offer is a question titled 確認" wait_active "確認"
    keys y
    check "Yes opens the page" wait_active "$page - たぶれん"
    keys ctrl+Home
    typein "zz"
    keys ctrl+s
    check "the page is saved with the typed text" wait_file_has "$page" "zz<p"
    check "the long line is broken into many" test "$(lines_of "$page")" -gt 100
    check "quoted values keep their spaces" test "$(grep -o 'class="a b"' "$page" | wc -l)" -eq 3000
    check "text keeps its spaces" test "$(grep -o '>x y</p>' "$page" | wc -l)" -eq 3000
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
}

no_flow() {
    start "$other"
    check "the offer comes for the other page" wait_active "確認"
    keys n
    check "No opens the page as it is" wait_active "$other - たぶれん"
    keys ctrl+Home
    typein "yy"
    keys ctrl+s
    check "the unbroken page is saved with the typed text" wait_file_has "$other" "yy<p"
    check "it is still one line" test "$(lines_of "$other")" -le 1
    keys ctrl+q
    check "Ctrl+Q ends the program after No" wait_exit
}

# A 10 MB line opened as it is: typing at its start and saving puts exactly the typed bytes in.
huge_no_flow() {
    start "$huge"
    check "the offer comes for the 10 MB line" patiently 12 wait_active "確認"
    keys n
    check "No opens the 10 MB line as it is" patiently 12 wait_active "$huge - たぶれん"
    keys ctrl+Home
    typein "zz"
    keys ctrl+s
    check "the 10 MB line is saved with the typed text" patiently 24 wait_file_has "$huge" "zz<p"
    { printf 'zz'; cat "$huge.orig"; } >"$work/huge.expected"
    check "the saved bytes are the page's with the typed ones before them" \
        cmp -s "$huge" "$work/huge.expected"
    # Replace-all over the line: each of its 230,000 "class" once, in seconds.
    keys ctrl+l
    check "Ctrl+L opens 置換 over the 10 MB line" wait_active "置換"
    keys ctrl+a
    typein "class"
    keys Tab
    typein "klass"
    keys Return Escape
    check "the replacement over the 10 MB line ends" patiently 12 wait_active "$huge - たぶれん"
    keys ctrl+s
    check "the replaced line is saved" patiently 24 wait_file_has "$huge" 'zz<p klass='
    LC_ALL=C sed 's/class=/klass=/g' "$work/huge.expected" >"$work/huge.replaced"
    check "every class of the line is replaced, nothing else" cmp -s "$huge" "$work/huge.replaced"
    keys ctrl+q
    check "Ctrl+Q ends the program after the 10 MB line" wait_exit
}

# Escape answers No; the question gives the line's length with thousands separators.
escape_flow() {
    start "$other"
    check "the offer comes for the page" wait_active "確認"
    keys Escape
    check "Escape opens the page as it is" wait_active "$other - たぶれん"
    check "it is still one line" test "$(lines_of "$other")" -le 1
    keys ctrl+q
    check "Ctrl+Q ends the program after Escape" wait_exit
}

under_x() {
    page=$work/minified.html
    other=$work/other.html
    minified_page 3000 >"$page"
    minified_page 700 >"$other"
    huge=$work/huge.html
    huge_line_page >"$huge"
    cp "$huge" "$huge.orig"
    yes_flow
    no_flow
    huge_no_flow
    escape_flow
    stop
}

xsession_main "$@"
