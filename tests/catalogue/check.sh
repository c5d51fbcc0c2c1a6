#!/bin/sh
# The English catalogue: it compiles cleanly, every text extracted from the code has an English
# entry that is not empty or fuzzy, and each entry keeps the placeholders (%1, %2, ...) of its
# source text. Arguments: the catalogue (po/en.po) and the template extracted at build time.
set -eu
po=$1
pot=$2
msgfmt --check --statistics -o /dev/null "$po"
msgcmp "$po" "$pot"
# One line per msgid / msgstr: compare the sorted placeholders of each pair.
msgcat --no-wrap "$po" | awk '
    function marks(s,   out, rest) {
        out = ""; rest = s
        while (match(rest, /%[0-9]+/)) { out = out " " substr(rest, RSTART, RLENGTH); rest = substr(rest, RSTART + RLENGTH) }
        n = split(out, parts, " "); out = ""
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (parts[j] < parts[i]) { t = parts[i]; parts[i] = parts[j]; parts[j] = t }
        for (i = 1; i <= n; i++) out = out parts[i] " "
        return out
    }
    /^msgid / { id = substr($0, 7) }
    /^msgstr(\[[0-9]\])? / && id != "\"\"" {
        str = $0; sub(/^msgstr(\[[0-9]\])? /, "", str)
        if (marks(id) != marks(str)) { print "placeholders differ: " id " -> " str; bad = 1 }
    }
    END { exit bad }'
