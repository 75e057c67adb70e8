#!/usr/bin/env bash
# Preview asked for by a root user who has not switched the browser engine's sandbox off (as on a
# fresh machine, or with sudo): a box titled エラー says why and how to allow it, Enter closes it,
# and the program goes on in edit mode: typing and Ctrl+S save, no scratch file is written. The
# live preview beside the text (Ctrl+Shift+W) is refused the same way.
source "$(dirname "$0")/xsession.sh"

if [ "$(id -u)" -ne 0 ]; then
    echo "not root: the engine's sandbox works here, nothing to check"
    exit 77
fi

no_scratch() { [ -z "$(find "$1" -maxdepth 1 -name 'Tlprv*.html')" ]; }

under_x() {
    # The user's own choice only: the test runner switches the sandbox off for the other tests.
    unset QTWEBENGINE_DISABLE_SANDBOX QTWEBENGINE_CHROMIUM_FLAGS
    local site=$work/site page=$work/site/index.html
    mkdir -p "$site"
    printf '<p>x</p>\r\n' >"$page"
    start "$page"
    expect_window "$page - たぶれん" >/dev/null || { stop; return; }
    check "the window takes the keyboard" wait_active "$page - たぶれん"
    typein "r1"
    keys ctrl+w
    check "Ctrl+W as root shows a box titled エラー" wait_active "エラー"
    keys Return
    check "Enter closes the box, back in the editor" wait_active "$page - たぶれん"
    typein "r2"
    keys ctrl+s
    check "typing goes on and Ctrl+S saves it" wait_file_has "$page" "r1r2<p>x</p>"
    check "the program still runs" kill -0 "$pid"
    check "no scratch file beside the page" no_scratch "$site"
    keys ctrl+w
    check "asked again, the box comes again" wait_active "エラー"
    keys Return
    check "and goes again" wait_active "$page - たぶれん"
    keys ctrl+shift+w
    check "the live preview as root shows the same box" wait_active "エラー"
    keys Return
    check "and the editor is beside nothing" wait_active "$page - たぶれん"
    typein "r3"
    keys ctrl+s
    check "typing goes on after it" wait_file_has "$page" "r1r2r3<p>x</p>"
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
    check "no scratch file at the end" no_scratch "$site"
    check "the live preview is not kept on" bash -c "! grep -q '^LivePreview=True' '$conf'"
}

xsession_main "$@"
