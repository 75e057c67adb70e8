#!/usr/bin/env bash
# The main window on the screen, as the window manager shows it: a placement stored on a bigger
# monitor opens within this one, a question at start-up opens centred over the shown window, and
# the first preview keeps the same X window.
source "$(dirname "$0")/xsession.sh"

# "x y width height" of window $1 with the window manager's frame around it.
outer_geometry() {
    local id=$1 x y w h left=0 right=0 top=0 bottom=0 extents
    eval "$(xdotool getwindowgeometry --shell "$id" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    x=$X y=$Y w=$WIDTH h=$HEIGHT
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    if [ -n "$extents" ]; then
        IFS=, read -r left right top bottom <<<"$extents"
    fi
    echo "$((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))"
}

screen_size() {
    xdpyinfo 2>/dev/null | sed -n 's/^ *dimensions: *\([0-9]*\)x\([0-9]*\) pixels.*/\1 \2/p'
}

# True when window $1, frame included, is no bigger than the screen and its caption and close box
# (the frame's top edge) lie on it. (Where the window manager puts the frame of a window placed
# at the screen's top-left corner is its own affair: openbox puts it a title bar lower.)
within_screen() {
    local x y w h sw sh
    read -r x y w h <<<"$(outer_geometry "$1")"
    read -r sw sh <<<"$(screen_size)"
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] && [ $((x + w)) -le "$sw" ] && [ "$y" -lt "$sh" ] &&
        [ "$w" -le "$sw" ] && [ "$h" -le "$sh" ] ||
        { echo "window at $x,$y ${w}x$h on a ${sw}x$sh screen" >&2; return 1; }
}

# The main window: the visible window of the program whose caption ends with " - たぶれん".
main_window() {
    for _ in $(seq 1 400); do
        local win
        for win in $(xdotool search --onlyvisible --pid "$pid" --name . 2>/dev/null); do
            [[ "$(caption_of "$win")" == *" - たぶれん" ]] && { echo "$win"; return 0; }
        done
        sleep 0.05
    done
    return 1
}

# True when the centres of windows $1 and $2 (frames included) lie within 40 pixels of each other.
centred_over() {
    local x1 y1 w1 h1 x2 y2 w2 h2 dx dy
    read -r x1 y1 w1 h1 <<<"$(outer_geometry "$1")"
    read -r x2 y2 w2 h2 <<<"$(outer_geometry "$2")"
    dx=$(((x1 + w1 / 2) - (x2 + w2 / 2)))
    dy=$(((y1 + h1 / 2) - (y2 + h2 / 2)))
    [ "${dx#-}" -le 40 ] && [ "${dy#-}" -le 40 ] ||
        { echo "box at $x1,$y1 ${w1}x$h1, window at $x2,$y2 ${w2}x$h2" >&2; return 1; }
}

# A window closed last on a 3000 x 1600 pixel monitor (twips in the settings file).
oversize_placement() {
    mkdir -p "$(dirname "$conf")"
    printf '[Window]\nMaximized=False\nLeft=3000\nTop=1500\nWidth=45000\nHeight=24000\n' >"$conf"
    start
    local win
    win=$(expect_window "新規ファイル - たぶれん") || { stop; return; }
    sleep 1 # the window manager frames and places it
    check "the stored oversize opens within the screen" within_screen "$win"
    keys ctrl+q
    check "Ctrl+Q closes the window" wait_exit
    local width sw
    width=$(sed -n 's/^Width=//p' "$conf")
    read -r sw _ <<<"$(screen_size)"
    check "closing stores a width that fits ($width twips)" test "${width%%.*}" -le $((sw * 15))
}

# A page that is not text: the warning at open comes over the main window, already shown.
question_over_the_window() {
    rm -f "$conf"
    head -c 20000 /dev/urandom >"$work/binary.html"
    start "$work/binary.html"
    local box win
    box=$(find_window "警告" prefix) || { fail "no warning at open (visible: $(visible_captions))"; stop; return; }
    if ! win=$(main_window); then
        fail "the main window is not shown under the warning (visible: $(visible_captions))"
        stop
        return
    fi
    sleep 1
    check "the warning is centred over the main window" centred_over "$box" "$win"
    stop
}

# The first preview embeds the browser engine in the window: still the same X window after it.
same_window_after_preview() {
    rm -f "$conf"
    printf '<p>preview</p>\r\n' >"$work/page.html"
    start "$work/page.html"
    local caption="$work/page.html - たぶれん" before after
    before=$(expect_window "$caption") || { stop; return; }
    wait_active "$caption" || fail "the main window does not have the keyboard"
    keys ctrl+w
    # The page is loaded once its scratch file is gone again.
    for _ in $(seq 1 200); do
        compgen -G "$work/Tlprv*.html" >/dev/null || break
        sleep 0.05
    done
    sleep 1
    after=$(expect_window "$caption") || { stop; return; }
    check "Ctrl+W keeps the same X window ($before, then $after)" test "$before" = "$after"
    keys ctrl+w ctrl+q
    check "Ctrl+Q closes the window" wait_exit
}

under_x() {
    oversize_placement
    question_over_the_window
    same_window_after_preview
    stop
}

xsession_main "$@"
