#!/bin/sh
# Japanese texts in the code that bypass the catalogue: every string literal of src/ with a byte
# outside ASCII must be the text of _(), P_(), N_(), Tr() or TrN(), or stand in the allow-list
# (lines "file<TAB>text" as xgettext writes the text, for data such as font names). Arguments: the
# source folder, the allow-list and a scratch folder.
set -eu
src=$1
allow=$2
scratch=$3
mkdir -p "$scratch"
cd "$src"
files=$(find src -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)
common="--language=C++ --from-code=UTF-8 --no-wrap --sort-by-file"
# shellcheck disable=SC2086
xgettext $common --extract-all -o "$scratch/all.pot" $files 2>/dev/null
# shellcheck disable=SC2086
xgettext $common --keyword=_ --keyword=N_ --keyword=P_:1,2 --keyword=Tr --keyword=TrN:1,2 \
    -o "$scratch/translated.pot" $files 2>/dev/null
# One line "file<TAB>text" per literal that holds a byte outside ASCII.
literals() {
    LC_ALL=C awk '
        function flush(   n, i, r) {
            if (text ~ /[\200-\377]/) {
                n = split(refs, r, " ")
                for (i = 1; i <= n; i++) { sub(/:[0-9]+$/, "", r[i]); print r[i] "\t" text }
            }
            text = ""
        }
        /^#: / { refs = refs " " substr($0, 4); next }
        /^msgid(_plural)? / { flush(); text = $0; sub(/^msgid(_plural)? /, "", text); inid = 1; next }
        /^"/ && inid { text = text $0; next }
        /^msgstr/ { flush(); refs = ""; inid = 0 }
    ' "$1" | LC_ALL=C sort
}
literals "$scratch/all.pot" >"$scratch/all.txt"
literals "$scratch/translated.pot" >"$scratch/translated.txt"
LC_ALL=C comm -23 "$scratch/all.txt" "$scratch/translated.txt" | LC_ALL=C grep -vxF -f "$allow" >"$scratch/left.txt" || true
if [ -s "$scratch/left.txt" ]; then
    echo "Texts outside the catalogue (wrap them in _() or add them to $allow):"
    cat "$scratch/left.txt"
    exit 1
fi
