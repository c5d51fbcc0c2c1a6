#!/bin/sh
# Installs the build into a temporary prefix and checks the tree: exactly the program and its
# command line, the menu entry, the icons (each PNG in the folder of its size), the metainfo, the
# manual pages, and the guide with every image it shows, the copyright file and the changelog; both
# programs answer --version without a display, and the command line links no Qt. The Debian
# validators check the entry and the metainfo where they
# are installed. Arguments: the build folder, the project version.
set -eu
# cmake --install would put the tree under a DESTDIR from the environment, outside the temporary folder.
unset DESTDIR
build=$1
version=$2
id=org.quorbel.Quorbel
. "$(dirname "$0")/expected.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
{ expected_files "$(dirname "$0")/../.."; expected_cli_files; expected_common_files; } | LC_ALL=C sort >"$tmp/expected"
(cd "$tmp" && find usr ! -type d | LC_ALL=C sort) >"$tmp/actual"
diff "$tmp/expected" "$tmp/actual" || fail "installed files differ (< expected, > installed)"

for png in "$tmp"/usr/share/icons/hicolor/*x*/apps/$id.png; do
    size=$(basename "$(dirname "$(dirname "$png")")")
    # Width and height: the big-endian words at bytes 16 and 20 of the PNG header.
    measured=$(od -An -tu1 -j16 -N8 "$png" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }')
    [ "$measured" = "$size" ] || fail "$png is $measured"
done

out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$tmp/usr/bin/quorbel" --version) || fail "quorbel --version failed"
[ "$(printf '%s\n' "$out" | head -n 1)" = "quorbel $version" ] || fail "quorbel --version said '$out'"
printf '%s\n' "$out" | grep -q "GPL-3.0-or-later" || fail "quorbel --version names no licence"

# The command line runs where Qt is not installed.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$tmp/usr/bin/quorbel-cli" --version) || fail "quorbel-cli --version failed"
[ "$(printf '%s\n' "$out" | head -n 1)" = "quorbel-cli $version" ] || fail "quorbel-cli --version said '$out'"
if command -v ldd >/dev/null && ldd "$tmp/usr/bin/quorbel-cli" | grep -q 'libQt'; then
    fail "quorbel-cli links Qt"
fi
zcat "$tmp/usr/share/man/man1/quorbel-cli.1.gz" | grep -q -- '--apply' || fail "the manual page of quorbel-cli lacks --apply"
# The manual pages in Japanese and in English, each as man finds it for a locale (man-db looks in
# en/ under an English one).
for page in quorbel quorbel-cli; do
    zcat "$tmp/usr/share/man/man1/$page.1.gz" | grep -q 'ファイル名を一括で変更' || fail "the manual page of $page is not Japanese"
    zcat "$tmp/usr/share/man/en/man1/$page.1.gz" | LC_ALL=C.UTF-8 grep -qP '[\x{3040}-\x{30ff}\x{4e00}-\x{9fff}]' &&
        fail "the English manual page of $page has Japanese in it"
    if command -v man >/dev/null; then
        for locale in en_US.UTF-8:en/ C.UTF-8: ja_JP.UTF-8:; do
            found=$(env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG="${locale%%:*}" MANPATH="$tmp/usr/share/man" man -w "$page" 2>/dev/null)
            [ "$found" = "$tmp/usr/share/man/${locale#*:}man1/$page.1.gz" ] || fail "man -w $page under ${locale%%:*} found $found"
        done
    fi
done

doc=$tmp/usr/share/doc/quorbel
zcat "$doc/changelog.gz" | head -n 1 | grep -q "^quorbel ($version) " || fail "the changelog's latest entry is not $version"
grep -q "^License: GPL-3.0+" "$doc/copyright" || fail "the copyright file names no GPL-3.0+"
man=$(zcat "$tmp/usr/share/man/man1/quorbel.1.gz")
printf '%s\n' "$man" | grep -q '^\.TH QUORBEL "1" .* "quorbel '"$version"'"' || fail "the manual page is not of quorbel $version"
printf '%s\n' "$man" | grep -q 'journal' || fail "the manual page does not name the journal"
for guide in guide.html guide.en.html; do
    shown=$(grep -o 'src="[^"]*"' "$doc/$guide" | sed 's/^src="//; s/"$//')
    [ -n "$shown" ] || fail "$guide shows no image"
    for image in $shown; do
        [ -f "$doc/$image" ] || fail "$guide shows $image, which is not installed"
    done
done
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
