# The Debian package (cpack -G DEB, see scripts/package.sh). Its library dependencies are read from
# the program by dpkg-shlibdeps; what the program loads at run time without linking it is added by hand.
set(CPACK_PACKAGE_NAME quorbel)
set(CPACK_PACKAGE_VENDOR "Quorbel")
set(CPACK_PACKAGE_CONTACT "Quorbel developers <quorbel@quorbel.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch file renamer with a Japanese user interface")
# Lines under 80 columns, as Debian shows them; a blank line starts a paragraph.
set(CPACK_PACKAGE_DESCRIPTION
    "Quorbel renames many files at once: sequential names (also in the order\n"
    "photos were taken), find and replace with * and ? wildcards or regular\n"
    "expressions, case and half-width/full-width conversion and aligned digits,\n"
    "with undo, a folder history and an optional move to a destination folder.\n"
    "\n"
    "Its window speaks Japanese. A guide with screenshots, in Japanese and in\n"
    "English, opens from its help menu.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Japanese glyphs and Qt's own Japanese texts (dialog buttons, edit menus).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic, qt6-translations-l10n")
include(CPack)
