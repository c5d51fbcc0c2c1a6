#!/bin/sh
# Makes every screenshot in a temporary folder and checks that each image the guides and the README
# show was made and is not blank, and that docs/images holds no image the script no longer makes.
# Skipped (77) without xvfb-run. Argument: the build folder.
set -eu
build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
command -v xvfb-run >/dev/null || { echo "xvfb-run not installed (xvfb): no screenshots"; exit 77; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

QUORBEL_BUILD_DIR=$build "$root/scripts/screenshots.sh" "$tmp/images" || fail "scripts/screenshots.sh"
shown=$(grep -ho 'images/[A-Za-z0-9_-]*\.png' "$root/docs/guide.md" "$root/docs/guide.en.md" "$root/README.md" |
        sed 's|^images/||' | LC_ALL=C sort -u)
[ -n "$shown" ] || fail "the guides show no image"
for image in $shown; do
    [ -f "$tmp/images/$image" ] || fail "$image is shown but was not made"
    # A screenshot of one colour compresses to a few hundred bytes; every state shows text.
    [ "$(wc -c <"$tmp/images/$image")" -gt 8000 ] || fail "$image looks blank"
done
for committed in "$root"/docs/images/*.png; do
    [ -e "$committed" ] || continue
    [ -f "$tmp/images/$(basename "$committed")" ] || fail "docs/images/$(basename "$committed") is no longer made"
done
