#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over every source file of src/, using the dev
# build's compile commands (configure and build first: the Qt-generated headers must exist).
# Usage: scripts/tidy.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/dev}
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 2; }
tidy=$(command -v run-clang-tidy || command -v run-clang-tidy-14) ||
    { echo "run-clang-tidy is missing (Debian: clang-tidy)" >&2; exit 2; }
mapfile -t files < <(git ls-files 'src/*.cpp' | grep -v '^src/webview/')
"$tidy" -quiet -p "$build" -j "$(nproc)" "${files[@]/#/$PWD/}" >"$build/tidy.log" 2>&1 || {
    grep -E 'warning:|error:' "$build/tidy.log" | sort -u
    echo "clang-tidy found the problems above (full output: $build/tidy.log)" >&2
    exit 1
}
echo "clang-tidy: ${#files[@]} files clean"
