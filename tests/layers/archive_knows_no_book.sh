#!/bin/sh
# The archive layer holds no name, media type or extension of any kind of book: every such rule belongs to the kind.
# Prints each line that breaks the rule and fails when there is one.
cd "$(dirname "$0")/../../archive" || exit 2
if grep -n -i -E 'mimetype|oebps|meta-inf|epub|opf|ncx|xhtml|image/|\.(jpe?g|png|gif|cbz)\b' -- *.h *.cpp; then
    exit 1
fi
echo "archive/ names no kind of book"
