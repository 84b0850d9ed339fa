#!/bin/sh
# Every text the sources pass through tr() has its translation in the one
# translation file, and the file holds no text the sources no longer use:
# lupdate, run on a copy, must find nothing new and nothing obsolete.
set -eu
lupdate=$1
source=$2
ts=$3
copy=$(mktemp --suffix=.ts)
trap 'rm -f "$copy"' EXIT
cp "$ts" "$copy"
report=$("$lupdate" -no-obsolete -locations none "$source" -ts "$copy" 2>&1)
echo "$report"
echo "$report" | grep -q "(0 new and" || { echo "texts without a translation (above)" >&2; exit 1; }
if echo "$report" | grep -q "Removed [0-9]* obsolete"; then
    echo "texts no source uses any more (above)" >&2
    exit 1
fi
