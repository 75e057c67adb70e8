#!/bin/bash
# The main window's folder is the top floor: no source file outside src/app, other than
# src/main.cpp, may include one of its headers. Prints each offending line and fails.
# Usage: layering.sh <source folder>
set -u
src=${1:?source folder}
[ -d "$src/app" ] || { echo "no app folder in $src" >&2; exit 2; }
found=$(cd "$src" && grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]app/' \
    --include='*.h' --include='*.cpp' . | grep -vE '^\./(app/|main\.cpp:)')
if [ -n "$found" ]; then
    echo "These files include the main window's headers from outside src/app:"
    echo "$found"
    exit 1
fi
echo "layering: no app/ header included outside src/app"
