# The files an install puts under the prefix (relative to its parent, "usr/..."), one a line, sorted:
# those of the window's package, of the command line's and of the catalogue's. Sourced by the install checks;
# $1: the source folder (the guide's images are those in docs/images).
expected_files() {
    id=org.quorbel.Quorbel
    doc=usr/share/doc/quorbel
    {
        printf '%s\n' usr/bin/quorbel "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
            "usr/share/icons/hicolor/scalable/apps/$id.svg" usr/share/man/man1/quorbel.1.gz \
            usr/share/man/en/man1/quorbel.1.gz \
            "$doc/copyright" "$doc/changelog.gz" "$doc/guide.html" "$doc/guide.en.html"
        for size in 16 22 24 32 48 64 128 256; do
            echo "usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
        done
        for image in "$1"/docs/images/*.png "$1"/docs/images/en/*.png; do
            echo "$doc/images/${image#"$1/docs/images/"}"
        done
    } | LC_ALL=C sort
}
expected_cli_files() {
    printf '%s\n' usr/bin/quorbel-cli usr/share/doc/quorbel-cli/changelog.gz usr/share/doc/quorbel-cli/copyright \
        usr/share/man/man1/quorbel-cli.1.gz usr/share/man/en/man1/quorbel-cli.1.gz | LC_ALL=C sort
}
expected_common_files() {
    printf '%s\n' usr/share/doc/quorbel-common/changelog.gz usr/share/doc/quorbel-common/copyright \
        usr/share/locale/en/LC_MESSAGES/quorbel.mo | LC_ALL=C sort
}
