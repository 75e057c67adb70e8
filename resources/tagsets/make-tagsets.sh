#!/bin/sh
# Builds the tag sets that come with the program from their readable sources.
#
# source/NAME.txt holds a tag set in UTF-8 with LF line ends, exactly as the file should read:
# before text, "<$$#--#$$>", after text and a final line end. This writes NAME.tag beside this
# script in code page 932 with CR LF line ends, and the resource list ../tagsets.qrc.
# Run it after changing a source; the test of the shipped tag sets checks that they agree.
set -eu
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)
cd "$here"
rm -f ./*.tag
for source in source/*.txt; do
    name=$(basename "$source" .txt)
    sed 's/$/\r/' "$source" | iconv -f UTF-8 -t CP932 > "$name.tag"
done
{
    echo '<!DOCTYPE RCC>'
    echo '<RCC version="1.0">'
    echo '  <qresource prefix="/">'
    for tag in ./*.tag; do
        echo "    <file>tagsets/$(basename "$tag")</file>"
    done
    echo '  </qresource>'
    echo '</RCC>'
} > ../tagsets.qrc
