#!/usr/bin/env bash
# The installed program, as a Linux user gets it.
#   tests/e2e/install.sh BUILD_DIR         install into a temporary prefix (what ctest runs)
#   tests/e2e/install.sh BUILD_DIR --deb   build the Debian package with CPack, install it with
#                                          apt-get on this machine (root), test, then remove it
# Both check the installed files (desktop-file-validate, appstreamcli validate, icons, tag sets,
# help), start the program the way the desktop does, through the desktop entry's Exec line
# (gio launch), with an HTML file under Xvfb, wait for its path in the caption, check that the
# user's tag sets go to the per-user data folder and that F1 hands the installed help page to the
# shell.
set -euo pipefail
build=$(readlink -f "$1")
mode=${2:-staged}
here=$(dirname "$(readlink -f "$0")")

if [ -z "${TAVLEN_E2E_UNDER_X:-}" ]; then
    for tool in desktop-file-validate appstreamcli xvfb-run xdotool gio; do
        command -v "$tool" >/dev/null ||
            { echo "SKIP: $tool missing (scripts/deps.sh test installs it)"; exit 77; }
    done
    work=$(mktemp -d)
    cleanup() {
        if [ "$mode" = --deb ] && dpkg-query -W -f='${Status}' tavlen 2>/dev/null | grep -q 'ok installed'; then
            apt-get remove -y -qq tavlen >/dev/null || echo "could not remove the package tavlen"
        fi
        rm -rf "$work"
    }
    trap cleanup EXIT
else
    work=$TAVLEN_E2E_WORK
fi
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# "W x H" of a PNG file, from its header.
png_size() {
    [ "$(head -c 8 "$1" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
    od -An -tu1 -j16 -N8 "$1" |
        awk '{ printf "%d x %d", (($1 * 256 + $2) * 256 + $3) * 256 + $4, (($5 * 256 + $6) * 256 + $7) * 256 + $8 }'
}

# --- outside X: install, then check the files -----------------------------------------------
if [ -z "${TAVLEN_E2E_UNDER_X:-}" ]; then
    if [ "$mode" = --deb ]; then
        [ "$(id -u)" -eq 0 ] || { echo "the --deb test installs a package: run it as root"; exit 1; }
        rm -f "$build"/tavlen_*.deb
        (cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) ||
            { cat "$work/cpack.log"; echo "FAIL: cpack -G DEB"; exit 1; }
        deb=$(ls "$build"/tavlen_*.deb)
        echo "package: $deb"
        dpkg-deb -f "$deb" Depends Recommends
        export DEBIAN_FRONTEND=noninteractive
        apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
            { cat "$work/apt.log"; echo "FAIL: apt-get install $deb"; exit 1; }
        prefix=/usr
    else
        prefix=$work/root/usr
        cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
            { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }
    fi
    share=$prefix/share
    desktop=$share/applications/tavlen.desktop
    [ -x "$prefix/bin/tavlen" ] || fail "no program at $prefix/bin/tavlen"
    desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
    grep -qx 'MimeType=text/html;application/xhtml+xml;' "$desktop" || fail "MimeType line"
    metainfo=$(grep -l '<launchable type="desktop-id">tavlen.desktop<' "$share"/metainfo/*.xml | head -n 1)
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
    [ -f "$share/icons/hicolor/scalable/apps/tavlen.svg" ] || fail "no scalable icon"
    for size in 16 22 24 32 48 64 128 256 512; do
        png=$share/icons/hicolor/${size}x${size}/apps/tavlen.png
        [ "$(png_size "$png")" = "$size x $size" ] || fail "icon $png is not a $size x $size PNG"
    done
    ntags=$(find "$share/tavlen/TagSets" -name '*.tag' | wc -l)
    [ "$ntags" -ge 1 ] || fail "no shipped tag sets in $share/tavlen/TagSets"
    grep -q '<html lang="ja">' "$share/tavlen/help/index.html" || fail "no help page"

    set +e
    TAVLEN_E2E_UNDER_X=1 TAVLEN_E2E_WORK="$work" TAVLEN_E2E_PREFIX="$prefix" \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$build" "$mode"
    code=$?
    set -e
    failures=$((failures + code))
    [ -z "$(ls "$prefix/bin/TagSets" 2>/dev/null)" ] ||
        fail "the installed program made a TagSets folder beside itself"
    if [ "$failures" -eq 0 ]; then echo "1 passed, 0 failed"; else echo "0 passed, 1 failed"; fi
    [ "$failures" -eq 0 ]
    exit
fi

# --- under X: start it as the desktop does ----------------------------------------------------
prefix=$TAVLEN_E2E_PREFIX
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
export XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/run
export QTWEBENGINE_DISABLE_SANDBOX=1
unset QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR" "$work/fakebin"
chmod 700 "$XDG_RUNTIME_DIR"
# The shell's "open" ends in xdg-open: record what the program hands it instead of starting a
# browser.
cat >"$work/fakebin/xdg-open" <<SH
#!/bin/sh
printf '%s\n' "\$1" >>"$work/opened.log"
SH
chmod +x "$work/fakebin/xdg-open"
export PATH=$work/fakebin:$prefix/bin:$PATH

page="$work/ページ sample.html"
printf '<html><body><p>\x93\xfa\x96\x7b\x8c\xea</p></body></html>\r\n' >"$page"
gio launch "$prefix/share/applications/tavlen.desktop" "$page" >>"$work/program.log" 2>&1 &

win=""
for _ in $(seq 1 600); do
    win=$(xdotool search --onlyvisible --name "^$page - たぶれん\$" 2>/dev/null | head -n 1) || true
    [ -n "$win" ] && break
    sleep 0.05
done
if [ -z "$win" ]; then
    fail "no window captioned '$page - たぶれん'"
    cat "$work/program.log"
    exit "$failures"
fi
pid=$(xdotool getwindowpid "$win" 2>/dev/null || pgrep -n -f "$prefix/bin/tavlen" || true)

tags=$XDG_DATA_HOME/Tavlen/TagSets
[ -n "$(ls "$tags"/*.tag 2>/dev/null)" ] || fail "user tag sets not seeded into $tags"

xdotool windowfocus --sync "$win" key --clearmodifiers F1
for _ in $(seq 1 100); do
    [ -s "$work/opened.log" ] && break
    sleep 0.05
done
opened=$(head -n 1 "$work/opened.log" 2>/dev/null || true)
case "$opened" in
    file://*/share/tavlen/help/index.html) ;;
    *) fail "F1 handed '$opened' to the shell, not the installed help page" ;;
esac

# The preview loads the browser engine from the installed module, not from the build tree.
xdotool windowfocus --sync "$win" key --clearmodifiers ctrl+w
for _ in $(seq 1 200); do
    grep -q '/tavlen/libtavlen_webview\.so$' "/proc/$pid/maps" 2>/dev/null && break
    sleep 0.05
done
grep -q "^.* $prefix/lib.*/tavlen/libtavlen_webview\.so\$" "/proc/$pid/maps" 2>/dev/null ||
    fail "the preview did not load $prefix/lib/.../tavlen/libtavlen_webview.so"
sleep 1.5 # the page loads; then back to the editor (the browser makes Qt create a new window)
win=$(xdotool search --onlyvisible --name "^$page - たぶれん\$" 2>/dev/null | head -n 1) || true
xdotool windowfocus --sync "$win" key --clearmodifiers ctrl+w
xdotool windowfocus --sync "$win" key --clearmodifiers ctrl+q
for _ in $(seq 1 100); do
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    fail "Ctrl+Q did not close the window"
    kill "$pid"
fi
exit "$failures"
