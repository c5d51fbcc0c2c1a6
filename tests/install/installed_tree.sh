#!/bin/sh
# Installs the build into a temporary prefix and checks the tree: exactly the program, the menu
# entry, the icons (each PNG in the folder of its size) and the metainfo; the program answers
# --version without a display. The Debian validators check the entry and the metainfo where they
# are installed. Arguments: the build folder, the project version.
set -eu
# cmake --install would put the tree under a DESTDIR from the environment, outside the temporary folder.
unset DESTDIR
build=$1
version=$2
id=org.quorbel.Quorbel
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
expected="usr/bin/quorbel
usr/share/applications/$id.desktop
usr/share/metainfo/$id.metainfo.xml
usr/share/icons/hicolor/scalable/apps/$id.svg"
for size in 16 22 24 32 48 64 128 256; do
    expected="$expected
usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
printf '%s\n' "$expected" | LC_ALL=C sort >"$tmp/expected"
(cd "$tmp" && find usr ! -type d | LC_ALL=C sort) >"$tmp/actual"
diff "$tmp/expected" "$tmp/actual" || fail "installed files differ (< expected, > installed)"

for png in "$tmp"/usr/share/icons/hicolor/*x*/apps/$id.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    # Width and height: the big-endian words at bytes 16 and 20 of the PNG header.
    measured=$(od -An -tu1 -j16 -N8 "$png" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }')
    [ "$measured" = "$size" ] || fail "$png is $measured"
done

out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$tmp/usr/bin/quorbel" --version) || fail "quorbel --version failed"
[ "$out" = "quorbel $version" ] || fail "quorbel --version said '$out'"
grep -q "<release version=\"$version\"" "$tmp/usr/share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo has no release $version"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$tmp/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
else
    echo "desktop-file-validate not installed (desktop-file-utils): the entry is not validated"
fi
if command -v appstreamcli >/dev/null; then
    # The tree as a whole: the metainfo, and the entry and icons it refers to.
    appstreamcli validate-tree --no-net "$tmp" || fail "appstreamcli validate-tree"
else
    echo "appstreamcli not installed (appstream): the metainfo is not validated"
fi
