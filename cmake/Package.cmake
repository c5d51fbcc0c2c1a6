# The Debian package (cpack -G DEB, see scripts/package.sh). Its library dependencies are read from
# the program by dpkg-shlibdeps; what the program loads at run time without linking it is added by hand.
set(CPACK_PACKAGE_NAME quorbel)
set(CPACK_PACKAGE_VENDOR "Quorbel")
set(CPACK_PACKAGE_CONTACT "Quorbel developers <quorbel@quorbel.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "${PROJECT_HOMEPAGE_URL}")
# Each package's description: its summary, then lines under 80 columns, as Debian shows them; a
# blank line starts a paragraph. (CPack would put one summary for all in front of each.)
set(CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION
    "batch file renamer with a Japanese user interface\n"
    "Quorbel renames many files at once: sequential names (also in the order\n"
    "photos were taken), find and replace with * and ? wildcards or regular\n"
    "expressions, case and half-width/full-width conversion and aligned digits,\n"
    "with undo, a folder history and an optional move to a destination folder.\n"
    "\n"
    "Its window speaks Japanese, or English where the locale asks for it. A guide\n"
    "with screenshots, in Japanese and in English, opens from its help menu.")
string(JOIN "" CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION ${CPACK_DEBIAN_UNSPECIFIED_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Three packages: the window (everything installed without a component), the command line, which
# links no Qt and needs nothing of the window's, and the catalogue both speak from. A file may belong
# to one package only, so the catalogue has its own.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified cli common)
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_NAME quorbel)
set(CPACK_DEBIAN_CLI_PACKAGE_NAME quorbel-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_SOURCE quorbel)
set(CPACK_DEBIAN_CLI_DESCRIPTION
    "batch file renamer for the command line, dry run first\n"
    "quorbel-cli renames many files from a terminal, a script or a file server\n"
    "without a display, with the window's renames: sequential names, find and\n"
    "replace (wildcards or regular expressions), case and half-width/full-width\n"
    "conversion and aligned digits. It shows what a run would do before it\n"
    "changes anything, keeps the same history of changes as the window (each\n"
    "can undo the other's runs), and speaks JSON to scripts.")
string(JOIN "" CPACK_DEBIAN_CLI_DESCRIPTION ${CPACK_DEBIAN_CLI_DESCRIPTION})
# Japanese glyphs, Qt's own Japanese texts (dialog buttons, edit menus) and the command line.
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-ipafont-gothic, qt6-translations-l10n, quorbel-cli")
set(CPACK_DEBIAN_UNSPECIFIED_PACKAGE_DEPENDS "quorbel-common (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_CLI_PACKAGE_DEPENDS "quorbel-common (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_COMMON_PACKAGE_NAME quorbel-common)
set(CPACK_DEBIAN_COMMON_PACKAGE_SOURCE quorbel)
set(CPACK_DEBIAN_COMMON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_COMMON_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_COMMON_DESCRIPTION
    "batch file renamer - translations\n"
    "The texts of Quorbel's window and of quorbel-cli in languages other than\n"
    "Japanese (English), used where the locale or the window's setting asks for\n"
    "them.")
string(JOIN "" CPACK_DEBIAN_COMMON_DESCRIPTION ${CPACK_DEBIAN_COMMON_DESCRIPTION})
include(CPack)
