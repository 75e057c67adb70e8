#!/bin/bash
# The editor control fills a big text in slices and keeps its own record of the text, the byte
# count and the colours; only its own code may work on its QTextDocument. Everything else goes
# through the control's operations (replaceStretches, setSelText, setSelStart ...), which finish
# the fill when they need the whole text. Prints each line that reaches for document() outside
# src/platform and fails.
# Usage: editorapi.sh <source folder>
set -u
src=${1:?source folder}
[ -d "$src/platform" ] || { echo "no platform folder in $src" >&2; exit 2; }
found=$(cd "$src" && grep -rnE '(\.|->)document\(\)' --include='*.h' --include='*.cpp' . |
    grep -vE '^\./platform/')
if [ -n "$found" ]; then
    echo "These lines work on the editor's document outside the editor control:"
    echo "$found"
    exit 1
fi
echo "editorapi: only the editor control works on its document"
