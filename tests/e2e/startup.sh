#!/usr/bin/env bash
# The real program under a virtual X server: first start, caption, version record, a file given
# on the command line, Ctrl+Q writing the window placement, and the message without a display.
set -euo pipefail
source "$(dirname "$0")/xvfb.sh"
isolated_run "$1"
conf=$XDG_CONFIG_HOME/Tavlen/Tavlen.conf
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Without any display the program says so instead of aborting in the platform plugin.
if [ -z "${TAVLEN_E2E_UNDER_X:-}" ]; then
set +e
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" 2>&1)
code=$?
set -e
[ "$code" -eq 2 ] || fail "no display: exit code $code, expected 2"
grep -q "no display" <<<"$out" || fail "no display: message missing: $out"
# --help and --version answer in Japanese on the terminal and need no display.
for option in --help --version; do
    set +e
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" "$option" 2>&1)
    code=$?
    set -e
    [ "$code" -eq 0 ] || fail "$option: exit code $code, expected 0: $out"
    case $option in
    --help) grep -q '^使い方: tavlen \[ファイル\]$' <<<"$out" || fail "--help: no usage: $out" ;;
    --version) grep -q '^たぶれん（Tavlen）バージョン 1\.00$' <<<"$out" || fail "--version: $out" ;;
    esac
done
fi

# Starts the program under the current X display; its output goes to a log.
start() {
    "$bin" "$@" >>"$work/program.log" 2>&1 &
    pid=$!
}

# Waits for a window with this exact caption and prints its id.
find_window() {
    local caption=$1
    for _ in $(seq 1 600); do
        local win
        win=$(xdotool search --onlyvisible --name "^${caption}\$" 2>/dev/null | head -n 1) || true
        if [ -n "$win" ]; then
            echo "$win"
            return 0
        fi
        sleep 0.05
    done
    return 1
}

quit_with_ctrl_q() {
    xdotool windowfocus --sync "$1" key --clearmodifiers ctrl+q
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.05
    done
    kill "$pid"
    return 1
}

under_x() {
    unset QT_QPA_PLATFORM
    start
    win=$(find_window "新規ファイル - たぶれん") ||
        { fail "no window captioned 新規ファイル - たぶれん"; kill "$pid"; return; }
    grep -q '^CurrentVersion=1.00.0000$' "$conf" || fail "UpdateInfo/CurrentVersion not written"
    grep -q '^ApplicationPath=' "$conf" || fail "UpdateInfo/ApplicationPath not written"
    quit_with_ctrl_q "$win" || fail "Ctrl+Q did not close the window"
    for key in Left Top Width Height; do
        grep -q "^$key=[0-9]" "$conf" || fail "Window/$key not written at close"
    done
    grep -q '^Maximized=False$' "$conf" || fail "Window/Maximized not written as False"

    # A path with spaces, not quoted: the arguments joined by single spaces are the path.
    page="$work/my page.html"
    printf '<p>\x93\xfa\x96\x7b</p>\r\n' >"$page"
    start "$work/my" "page.html"
    win=$(find_window "$page - たぶれん") ||
        { fail "the file on the command line did not open"; kill "$pid"; return; }
    quit_with_ctrl_q "$win" || fail "Ctrl+Q did not close the second window"
    grep -q "^File01=$page\$" "$conf" || fail "the opened file is not first in the recent list"

    # A file:// URL, as a file manager passes one, opens the file it names.
    start "file://${work// /%20}/my%20page.html"
    win=$(find_window "$page - たぶれん") ||
        { fail "the file:// URL did not open its file"; kill "$pid"; return; }
    quit_with_ctrl_q "$win" || fail "Ctrl+Q did not close the URL's window"

    # Two files: the first opens, the second is named as ignored.
    other="$work/other.html"
    printf '<p>other</p>\r\n' >"$other"
    : >"$work/program.log"
    start "$other" "$page"
    win=$(find_window "$other - たぶれん") ||
        { fail "of two files the first did not open"; kill "$pid"; return; }
    quit_with_ctrl_q "$win" || fail "Ctrl+Q did not close the two files' window"
    grep -qF "無視しました: $page" "$work/program.log" ||
        fail "the second file is not named as ignored: $(cat "$work/program.log")"
}

if [ -n "${TAVLEN_E2E_UNDER_X:-}" ]; then
    under_x
    exit "$failures"
fi
set +e
TAVLEN_E2E_UNDER_X=1 TAVLEN_E2E_WORK="$work" with_xvfb bash "$0" "$bin"
code=$?
set -e
failures=$((failures + code))

if [ "$failures" -eq 0 ]; then
    echo "1 passed, 0 failed"
else
    echo "0 passed, 1 failed"
fi
[ "$failures" -eq 0 ]
