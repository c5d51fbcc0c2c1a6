#!/bin/sh
# Makes every screenshot in a temporary folder, of the Japanese window and (into en/) of the English
# one, and checks that each image the guides and the README show was made and is not blank, and
# that docs/images holds no image the script no longer makes.
# Skipped (77) without xvfb-run. Argument: the build folder.
set -eu
build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
command -v xvfb-run >/dev/null || { echo "xvfb-run not installed (xvfb): no screenshots"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

QUORBEL_BUILD_DIR=$build "$root/scripts/screenshots.sh" "$tmp/images" || fail "scripts/screenshots.sh"
QUORBEL_BUILD_DIR=$build "$root/scripts/screenshots.sh" "$tmp/images/en" en_US.UTF-8 ||
    fail "scripts/screenshots.sh for en_US.UTF-8"
shown=$(grep -ho 'images/[A-Za-z0-9_/-]*\.png' "$root/docs/guide.md" "$root/docs/guide.en.md" "$root/README.md" |
        sed 's|^images/||' | LC_ALL=C sort -u)
[ -n "$shown" ] || fail "the guides show no image"
# Each guide shows the window in its own language.
grep -o '](images/[^)]*' "$root/docs/guide.en.md" | grep -v '](images/en/' && fail "guide.en.md shows the Japanese window"
grep -o '](images/en/[^)]*' "$root/docs/guide.md" && fail "guide.md shows the English window"
for image in $shown; do
    [ -f "$tmp/images/$image" ] || fail "$image is shown but was not made"
    # A screenshot of one colour compresses to a few hundred bytes; every state shows text.
    [ "$(wc -c <"$tmp/images/$image")" -gt 8000 ] || fail "$image looks blank"
done
for committed in "$root"/docs/images/*.png "$root"/docs/images/en/*.png; do
    [ -e "$committed" ] || continue
    image=${committed#"$root/docs/images/"}
    [ -f "$tmp/images/$image" ] || fail "docs/images/$image is no longer made"
done
