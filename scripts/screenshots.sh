#!/usr/bin/env bash
# Takes the README's screenshots of the real program under a virtual X server:
#   docs/screenshots/main.png     the main window with a coloured Japanese page
#   docs/screenshots/preview.png  the same page in preview mode (Ctrl+W)
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default build/dev; builds what it needs there)
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(readlink -f "${1:-$repo/build/dev}")
out=$repo/docs/screenshots
[ -f "$build/build.ninja" ] || { echo "no configured build in $build (cmake --preset dev)"; exit 1; }
ninja -C "$build" tavlen tavlen_grab_window tavlen_help_page >/dev/null

if [ -z "${TAVLEN_SHOTS_UNDER_X:-}" ]; then
    command -v xvfb-run >/dev/null && command -v xdotool >/dev/null ||
        { echo "xvfb-run and xdotool are needed (scripts/deps.sh test)"; exit 1; }
    exec env TAVLEN_SHOTS_UNDER_X=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$build"
fi

work=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run
export QTWEBENGINE_DISABLE_SANDBOX=1
unset QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME/Tavlen" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# A roomy window and a Japanese monospace font; positions are in twips (15 per pixel at 96 dpi).
cat >"$XDG_CONFIG_HOME/Tavlen/Tavlen.conf" <<'CONF'
[Settings]
FontName=Noto Sans Mono CJK JP
FontSize=11

[Window]
Left=0
Top=0
Width=12000
Height=9000
Maximized=False
CONF

site=$work/homepage
mkdir -p "$site"
cp "$repo/docs/screenshots/sample.html" "$site/index.html"
"$build/src/tavlen" "$site/index.html" >"$work/program.log" 2>&1 &
pid=$!

# The window with the page's caption; the browser's first use may replace the X window.
find_window() {
    win=""
    for _ in $(seq 1 600); do
        win=$(xdotool search --onlyvisible --name "^$site/index.html - たぶれん\$" 2>/dev/null | head -n 1) || true
        [ -n "$win" ] && return 0
        sleep 0.05
    done
    return 1
}
find_window || true
[ -n "$win" ] || { cat "$work/program.log"; xdotool search --name . getwindowname %@; echo "the window did not appear"; exit 1; }
grab() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    find_window
    eval "$(xdotool getwindowgeometry --shell "$win")"
    "$build/tavlen_grab_window" "$X" "$Y" "$WIDTH" "$HEIGHT" "$1"
}
# Caret to the top of the page, then let the colouring paint.
xdotool windowfocus --sync "$win" key --clearmodifiers ctrl+Home
sleep 1
grab "$out/main.png"
echo "wrote $out/main.png"

# Preview: the program writes a scratch file Tlprv*.html beside the page and deletes it once the
# browser has loaded it.
xdotool windowfocus --sync "$win" key --clearmodifiers ctrl+w
seen=0 loaded=0
for _ in $(seq 1 400); do
    if compgen -G "$site/Tlprv*.html" >/dev/null; then
        seen=1
    elif [ "$seen" = 1 ]; then
        loaded=1
        break
    fi
    sleep 0.05
done
if [ "$loaded" = 1 ]; then
    sleep 2 # the first frame follows the load
    grab "$out/preview.png"
    echo "wrote $out/preview.png"
else
    echo "the preview did not load (scratch file seen: $seen); preview.png not taken"
    exit 1
fi
