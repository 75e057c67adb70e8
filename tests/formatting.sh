#!/bin/bash
# Every C++ file of the project follows .clang-format; prints the files that do not and fails.
# Usage: formatting.sh <project folder>
set -u
root=${1:?project folder}
cd "$root" || exit 2
command -v clang-format >/dev/null || { echo "clang-format is missing (scripts/deps.sh test)" >&2; exit 2; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
    mapfile -t files < <(find src tests bench fuzz -name '*.cpp' -o -name '*.h')
fi
bad=$(clang-format --dry-run --Werror "${files[@]}" 2>&1 | grep -oE '^[^:]+\.(cpp|h):' | sort -u)
if [ -n "$bad" ]; then
    echo "These files do not follow .clang-format (clang-format -i FILE mends them):"
    echo "$bad"
    exit 1
fi
echo "formatting: ${#files[@]} files follow .clang-format"
