#!/usr/bin/env bash
# The live preview beside the text, by keyboard: Ctrl+Shift+W shows the page with its stylesheet,
# a change typed and not saved shows in it, the caret at the end takes the page to its end and a
# refresh keeps it there, a script typed runs, a stylesheet changed by another program reloads it; the choice is kept,
# and a Shift_JIS page shows its text and its relative image. Nothing is written beside the pages.
# Judged by the colours on the screen (pixels.py), the files and the settings file.
source "$(dirname "$0")/xsession.sh"
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3 # the system's: a version manager's python3 starts ten times slower
[ -x "$python" ] || python=python3

# The count of pixels of colour $2 in the preview's side of window $1.
pane_count() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    "$python" "$here/pixels.py" $((X + WIDTH * 6 / 10)) $((Y + HEIGHT * 3 / 10)) \
        $((WIDTH * 3 / 10)) $((HEIGHT * 5 / 10)) "$2"
}
# Waits (up to 20 s) until the preview's side of window $1 shows colour $2.
pane_shows() {
    for _ in $(seq 1 200); do
        [ "$(pane_count "$1" "$2")" -gt 20 ] && return 0
        sleep 0.1
    done
    echo "  no $2 in the preview" >&2
    return 1
}
pane_lacks() { [ "$(pane_count "$1" "$2")" -eq 0 ]; }
same_files() { [ "$(cd "$1" && find . | sort)" = "$2" ]; }

site_flow() {
    local site=$work/site page=$work/site/index.html win listing
    mkdir -p "$site/css"
    printf '<html><head><link rel="stylesheet" href="css/style.css"></head>\r\n<body style="margin:0">\r\n<div id="top" style="height:3000px"></div>\r\n<div style="height:2000px;background:#ff0000"></div>\r\n</body></html>' >"$page"
    printf '#top { background: #0000ff }\n' >"$site/css/style.css"
    cp "$page" "$work/index.orig"
    listing=$(cd "$site" && find . | sort)
    start "$page"
    win=$(expect_window "$page - たぶれん") || { stop; return; }
    check "the window takes the keyboard" wait_active "$page - たぶれん"
    keys ctrl+shift+w
    check "Ctrl+Shift+W shows the page beside the text, with its stylesheet" pane_shows "$win" 0000ff
    keys ctrl+Home
    typein '<style>#top{background:#00ff00!important}</style>'
    check "a change typed shows in the preview" pane_shows "$win" 00ff00
    check "typing goes to the text beside the preview" wait_active "$page - たぶれん"
    check "the change is not saved" cmp -s "$page" "$work/index.orig"
    keys ctrl+End
    check "the caret at the end takes the preview to the page's end" pane_shows "$win" ff0000
    typein '<style>div+div{background:#ff8000!important}</style>'
    check "the page is refreshed" pane_shows "$win" ff8000
    check "and stays at its end" pane_lacks "$win" 00ff00
    typein '<script>document.write("<style>body div{background:#8000ff!important}</style>")</script>'
    check "a script typed runs in the page" pane_shows "$win" 8000ff
    printf '#top { background: #0000ff }\ndiv+div { border-left: 4000px solid #ffff00 }\n' \
        >"$site/css/style.css"
    check "a stylesheet changed on disk reloads the page" pane_shows "$win" ffff00
    check "still at the end after the reload" pane_lacks "$win" 00ff00
    keys ctrl+q
    check "quitting asks about the unsaved text" wait_active "確認"
    keys n
    check "No ends the program" wait_exit
    check "the text was never saved" cmp -s "$page" "$work/index.orig"
    check "nothing was written beside the page" same_files "$site" "$listing"
    check "the live preview is remembered" grep -q '^LivePreview=True' "$conf"
}

shiftjis_flow() {
    local site=$work/sjis page=$work/sjis/page.html win listing
    mkdir -p "$site/img"
    # 日本語 in Shift_JIS; the stylesheet, in UTF-8, colours the block only when the page's text
    # was read as Shift_JIS.
    printf '<html><head><meta http-equiv="Content-Type" content="text/html; charset=Shift_JIS"><link rel="stylesheet" href="j.css"></head>\r\n<body style="margin:0"><p title="\x93\xfa\x96\x7b\x8c\xea" style="height:150px;margin:0"></p><img src="img/sq.svg"></body></html>\r\n' >"$page"
    printf '@charset "UTF-8";\np[title="日本語"] { background: #00ffff }\n' >"$site/j.css"
    printf '<svg xmlns="http://www.w3.org/2000/svg" width="400" height="400"><rect width="400" height="400" fill="#ff00ff"/></svg>\n' >"$site/img/sq.svg"
    listing=$(cd "$site" && find . | sort)
    start "$page"
    win=$(expect_window "$page - たぶれん") || { stop; return; }
    check "the live preview comes back at start" pane_shows "$win" 00ffff
    check "a relative image of a Shift_JIS page" pane_shows "$win" ff00ff
    keys ctrl+q
    check "Ctrl+Q ends the program" wait_exit
    check "nothing was written beside the Shift_JIS page" same_files "$site" "$listing"
}

under_x() {
    prepare_program
    site_flow
    shiftjis_flow
}

xsession_main "$@"
