#!/usr/bin/env bash
# Help while writing, by keyboard in the real window: "</" completed to the innermost open end
# tag and taken back by one undo, full-width characters inside tags fixed one by one and all at
# once, the page check listing a stray end tag that Enter moves the caret to, and the faint box
# of a full-width space on the screen, gone with its switch off.
source "$(dirname "$0")/xsession.sh"

completion_flow() {
    printf '' >"$page"
    start "$page"
    expect_window "$page - たぶれん" >/dev/null || return 0
    typein "<ul><li>a</"
    typein "</"
    keys ctrl+s
    check "</ completes </li>, then </ul>" has_bytes "$page" '<ul><li>a</li></ul>'
    keys ctrl+z ctrl+s
    check "one undo takes back the completion only" has_bytes "$page" '<ul><li>a</li></'
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
}

# U+3000 is 81 40 in Shift_JIS, ＝ 81 81.
slips_flow() {
    printf '<img\201\100src="a.png">\r\n<b\201\100id\201\201x>\r\n' >"$page"
    start "$page"
    expect_window "$page - たぶれん" >/dev/null || return 0
    keys ctrl+Home Down Right Right alt+e z ctrl+s
    check "the fix under the caret mends that one only" \
        has_bytes "$page" '<img\201\100src="a.png">\r\n<b id\201\201x>\r\n'
    keys alt+e a ctrl+s
    check "fixing all mends the rest" has_bytes "$page" '<img src="a.png">\r\n<b id=x>\r\n'
    keys ctrl+z ctrl+s
    check "one undo puts back all it fixed" \
        has_bytes "$page" '<img\201\100src="a.png">\r\n<b id\201\201x>\r\n'
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
}

# あいう is 82 A0 82 A2 82 A4 in Shift_JIS.
check_flow() {
    printf '<!DOCTYPE html>\r\n<html><head><title>t</title></head><body>\r\n<p>\202\240\202\242\202\244</span></p>\r\n</body></html>\r\n' >"$page"
    start "$page"
    expect_window "$page - たぶれん" >/dev/null || return 0
    keys F7
    check "F7 opens the list of findings" wait_active "ページの検査"
    sleep 1
    keys Return
    check "Enter on a finding goes back to the editor" wait_active "$page - たぶれん"
    typein "X"
    keys ctrl+s
    check "the caret stood at the stray end tag" wait_file_has "$page" $'\202\244X</span>'
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
}

# The number of pixels of the screen file that differ between two copies of it, and how many of
# those are the faint grey of a box over a white background.
compare_screens() {
    python3 - "$1" "$2" <<'PY'
import struct, sys
def pixels(path):
    data = open(path, 'rb').read()
    header = struct.unpack('>25I', data[:100])
    size, width, height = header[0], header[4], header[5]
    per_line, colours = header[12], header[19]
    start = size + colours * 12
    return width, height, per_line, data[start:start + per_line * height]
w, h, per_line, a = pixels(sys.argv[1])
_, _, _, b = pixels(sys.argv[2])
differ = grey = 0
for y in range(h):
    row = y * per_line
    for x in range(0, w * 4, 4):
        pa, pb = a[row + x:row + x + 3], b[row + x:row + x + 3]
        if pa != pb:
            differ += 1
            if all(150 < c < 235 for c in pa) and max(pa) - min(pa) < 12:
                grey += 1
print(differ, grey)
PY
}

box_flow() {
    printf '<p>\202\240\201\100\201\100\201\100\201\100\201\100\201\100\201\100\201\100\202\242</p>\r\n' >"$page"
    start "$page"
    expect_window "$page - たぶれん" >/dev/null || return 0
    keys ctrl+End
    sleep 1
    cp "$XVFB_FBDIR/Xvfb_screen0" "$work/boxes-on"
    keys ctrl+m
    check "Ctrl+M opens the options" wait_active "たぶれんオプション"
    keys alt+s alt+z Return
    check "Enter confirms the options" wait_active "$page - たぶれん"
    check "the switch is stored off" wait_file_has "$conf" "ShowFullWidthSpace=False"
    sleep 1
    cp "$XVFB_FBDIR/Xvfb_screen0" "$work/boxes-off"
    read -r differ grey < <(compare_screens "$work/boxes-on" "$work/boxes-off")
    echo "pixels that differ: $differ, of them faint grey: $grey"
    check "the boxes of eight full-width spaces show, and go with the switch ($differ, $grey)" \
        test "$grey" -gt 200 -a "$grey" -gt $((differ * 8 / 10))
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
}

under_x() {
    page=$work/page.html
    completion_flow
    slips_flow
    check_flow
    box_flow
    stop
}

if [ -z "${TAVLEN_E2E_UNDER_X:-}" ]; then
    export XVFB_FBDIR=$work/screen
    mkdir -p "$XVFB_FBDIR"
fi
xsession_main "$@"
