#!/bin/bash
# The folders of src/ are floors: each includes its own headers and those of the folders it is
# built on, never one above it. The build refuses a header of a folder a library does not link;
# this check also refuses one that only arrives through another folder's public links, and keeps
# the main window's headers (app/) to app/ and main.cpp. Prints each offending line and fails.
# Usage: layering.sh <source folder>
set -u
src=${1:?source folder}
[ -d "$src/app" ] || { echo "no app folder in $src" >&2; exit 2; }

# The folders each folder may include besides its own, as its CMakeLists.txt links them.
declare -A allowed=(
    [codec]=""
    [files]="codec"
    [platform]="codec"
    [markup]="platform"
    [settings]="codec files platform"
    [search]="markup platform"
    [document]="codec files markup platform settings"
    [tagsets]="about codec files platform settings"
    [about]="platform"
    [check]="codec files platform"
    [links]="codec files platform"
    [livepreview]="codec platform settings"
    [site]="codec files markup platform search"
    [app]="about check codec document files links livepreview markup platform search settings site tagsets"
)

status=0
for folder in "${!allowed[@]}"; do
    [ -d "$src/$folder" ] || continue
    while IFS= read -r hit; do
        [ -n "$hit" ] || continue
        included=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([a-z]+)\/.*/\1/' <<<"$hit")
        [ "$included" = "$folder" ] && continue
        if [[ " ${allowed[$folder]} " != *" $included "* ]]; then
            [ $status = 0 ] && echo "These files include a header of a folder they are not built on:"
            echo "$hit"
            status=1
        fi
    done < <(cd "$src" && grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]+/' \
        --include='*.h' --include='*.cpp' "$folder")
done

found=$(cd "$src" && grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]app/' \
    --include='*.h' --include='*.cpp' . | grep -vE '^\./(app/|main\.cpp:)')
if [ -n "$found" ]; then
    echo "These files include the main window's headers from outside src/app:"
    echo "$found"
    status=1
fi
[ $status = 0 ] && echo "layering: every folder includes only the folders it is built on"
exit $status
