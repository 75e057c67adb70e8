#!/usr/bin/env bash
# The real program on a Linux desktop: a path given relative to the folder it was started in,
# names that only a shell would find strange, and preview scratch files that always go, also
# when preview is switched on, off and on again faster than a large page loads.
source "$(dirname "$0")/xsession.sh"

program_folder=$(dirname "$bin")

scratch_in() { find "$1" -maxdepth 1 -name 'Tlprv*.html' | grep -c . || true; }

# Waits (up to $2 s) until folder $1 holds no scratch file.
wait_no_scratch() {
    for _ in $(seq 1 $(($2 * 20))); do
        [ "$(scratch_in "$1")" -eq 0 ] && return 0
        sleep 0.05
    done
    return 1
}

# Waits (up to 20 s) until a scratch file shows in folder $1.
wait_scratch() {
    for _ in $(seq 1 1000); do
        [ "$(scratch_in "$1")" -gt 0 ] && return 0
        sleep 0.02
    done
    return 1
}

# A page of about $2 MB, so that loading it takes a while.
large_page() {
    local line
    line="<p>$(head -c 1000 /dev/zero | tr '\0' x)</p>"
    { printf '<html><body>\n'; head -n $(($2 * 1000)) < <(yes "$line"); printf '</body></html>\n'; } >"$1"
}

quit() {
    keys ctrl+q
    check "the program ends on Ctrl+Q" wait_exit
}

relative_path() {
    local site=$work/site
    mkdir -p "$site"
    large_page "$site/page.html" 3
    local before
    before=$(scratch_in "$program_folder")
    pushd "$site" >/dev/null
    start page.html
    popd >/dev/null
    expect_window "$site/page.html - たぶれん" "a relative path does not open as the full path" \
        >/dev/null || { stop; return; }
    check "the window takes the keyboard" wait_active "$site/page.html - たぶれん"
    check "the recent list holds the full path" grep -qxF "File01=$site/page.html" "$conf"
    keys ctrl+w
    check "the scratch file is written beside the page" wait_scratch "$site"
    check "the scratch file goes once the page has loaded" wait_no_scratch "$site" 30
    check "nothing is written into the program's folder" \
        test "$(scratch_in "$program_folder")" -eq "$before"
    keys ctrl+w
    quit
}

on_off_on() {
    local folder=$work/large
    mkdir -p "$folder"
    large_page "$folder/page.html" 12
    start "$folder/page.html"
    expect_window "$folder/page.html - たぶれん" >/dev/null || { stop; return; }
    check "the window takes the keyboard" wait_active "$folder/page.html - たぶれん"
    xdotool key --clearmodifiers --delay 200 ctrl+w ctrl+w ctrl+w # within a second
    check "a scratch file is written" wait_scratch "$folder"
    check "no scratch file is left once the page has loaded" wait_no_scratch "$folder" 30
    check "the page itself stays" test -s "$folder/page.html"
    # Preview on and the program closed at once: the file goes with the window.
    keys ctrl+w ctrl+w
    keys ctrl+q
    check "the program ends on Ctrl+Q" wait_exit
    check "no scratch file is left after closing" test "$(scratch_in "$folder")" -eq 0
}

# The program killed while its preview page is still loading: the next start removes the scratch
# file it left, and no other file of that form.
killed_while_loading() {
    local folder=$work/killed
    mkdir -p "$folder"
    large_page "$folder/page.html" 12
    printf 'mine' >"$folder/Tlprv20000101000000.html"
    start "$folder/page.html"
    expect_window "$folder/page.html - たぶれん" >/dev/null || { stop; return; }
    check "the window takes the keyboard" wait_active "$folder/page.html - たぶれん"
    keys ctrl+w
    for _ in $(seq 1 1000); do
        [ "$(scratch_in "$folder")" -gt 1 ] && break
        sleep 0.02
    done
    stop
    check "the killed program left its scratch file" test "$(scratch_in "$folder")" -eq 2
    start
    expect_window "新規ファイル - たぶれん" >/dev/null || { stop; return; }
    check "the next start removes it" test "$(scratch_in "$folder")" -eq 1
    check "and keeps the file it did not write" grep -qx mine "$folder/Tlprv20000101000000.html"
    quit
}

# A path that cannot be opened: the error box, then a new document; nothing recorded.
refused() {
    local what=$1
    shift
    start "$@"
    local box
    if ! box=$(find_window "エラー" prefix); then
        fail "$what: no error box (visible: $(visible_captions))"
        stop
        return
    fi
    xdotool windowfocus --sync "$box" key Return
    if expect_window "新規ファイル - たぶれん" "$what: no new document after the box" >/dev/null; then
        check "$what: the new document takes the keyboard" wait_active "新規ファイル - たぶれん"
    fi
    check "$what: nothing entered in the recent list" no_recent_file
    quit
}

no_recent_file() { ! grep -q '^File01=.' "$conf" 2>/dev/null; }

strange_names() {
    local odd=$work/odd
    mkdir -p "$odd/a folder.html"
    # Invalid UTF-8 in the name: the file exists but its name cannot be passed on as text.
    printf '<p>x</p>' >"$odd/$(printf 'bad\xff.html')"
    local listing
    : >>"$work/program.log"
    listing=$(ls -A "$odd" "$work")
    refused "missing file with quotes, \$ and backticks" "$odd/it's \"q\" \$HOME \`x\`.html"
    refused "missing file with a newline" "$odd/two
lines.html"
    refused "a folder" "$odd/a folder.html"
    refused "invalid UTF-8" "$odd/$(printf 'bad\xff.html')"
    pushd "$odd" >/dev/null
    refused "relative missing file" "missing page.html"
    popd >/dev/null
    check "nothing is written beside the names" test "$(ls -A "$odd" "$work")" = "$listing"
}

under_x() {
    export QTWEBENGINE_DISABLE_SANDBOX=1 # the tests run as root, where the sandbox cannot start
    strange_names
    relative_path
    on_off_on
    killed_while_loading
}

xsession_main "$@"
